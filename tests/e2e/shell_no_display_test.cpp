// Without an X display there is no key tap: the program says so on standard
// output and fails, before any thread is started.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "harness/Process.h"

namespace tarnwick::e2e {
namespace {

using namespace std::chrono_literals;

constexpr const char* tapMessage =
    "Failed to create the event tap. This program must be run with root privilage using the "
    "'sudo' command in order to filter and modify key press events before the operating system "
    "passes them to other applications.\n";

// A display number with no server behind it.
std::string absentDisplay() {
    for (int number = 90; number < 200; ++number) {
        // Appended piecewise: g++ 12 warns falsely (-Wrestrict) on "a" + s + "b".
        const std::string digits = std::to_string(number);
        std::string socket = "/tmp/.X11-unix/X";
        socket += digits;
        std::string lock = "/tmp/.X";
        lock += digits;
        lock += "-lock";
        if (!std::filesystem::exists(socket) && !std::filesystem::exists(lock)) {
            return ":" + std::to_string(number);
        }
    }
    return ":199";
}

struct NoDisplayCase {
    const char* name;
    std::optional<std::string> display;
};

class NoDisplayTest : public ::testing::TestWithParam<NoDisplayCase> {};

TEST_P(NoDisplayTest, PrintsTheTapMessageAndExitsWithStatusOne) {
    // No platform chosen from outside: the program must pick one that works
    // without a display by itself.
    const CommandResult result = runCommand({.argv = {TARNWICK_BINARY},
                                             .env = {{"DISPLAY", GetParam().display},
                                                     {"QT_QPA_PLATFORM", std::nullopt},
                                                     {"WAYLAND_DISPLAY", std::nullopt}}},
                                            30s);
    ASSERT_TRUE(result.status) << "still running without a display";
    EXPECT_EQ(*result.status, 1) << result.errors;
    EXPECT_EQ(result.output, tapMessage) << result.errors;
}

INSTANTIATE_TEST_SUITE_P(Displays, NoDisplayTest,
                         ::testing::Values(NoDisplayCase{"Unset", std::nullopt},
                                           NoDisplayCase{"Absent", absentDisplay()}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick::e2e
