// The X11 key tap's own life, in-process on a private Xvfb: its filter thread
// starts with enable() and ends with the tap, and toggle changes while it runs
// (each a new set of grabs on that thread) do not get in the way.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <optional>
#include <string>

#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "hotkeys/HotKeyFilter.h"
#include "platform/KeyTap.h"
#include "support/FakeMainThread.h"
#include "support/FakePasteboard.h"

namespace tarnwick::e2e {
namespace {

using namespace std::chrono_literals;

// Runs work on another thread; false when it has not finished within timeout
// (the thread is then left behind and the test fails instead of hanging).
template <typename Work>
bool finishesWithin(std::chrono::milliseconds timeout, Work work) {
    auto done = std::async(std::launch::async, std::move(work));
    const bool finished = done.wait_for(timeout) == std::future_status::ready;
    if (!finished) {
        ADD_FAILURE() << "still running after " << timeout.count() << " ms";
        std::quick_exit(1);
    }
    return finished;
}

// Points this process's DISPLAY elsewhere for one test.
class DisplayVariable {
public:
    explicit DisplayVariable(const std::string& display) {
        if (const char* old = std::getenv("DISPLAY")) saved_ = old;
        setenv("DISPLAY", display.c_str(), 1);
    }
    ~DisplayVariable() {
        if (saved_) {
            setenv("DISPLAY", saved_->c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }

private:
    std::optional<std::string> saved_;
};

TEST(HotKeyTapLifecycle, StartsGrabsAgainOnToggleChangesAndStopsWithTheTap) {
    XvfbSession x;
    ASSERT_TRUE(x.ok()) << x.error();
    const DisplayVariable display(x.display());
    test::FakePasteboard pasteboard;
    test::FakeMainThread mainThread;
    BufferChecker engine(pasteboard, mainThread);

    EXPECT_TRUE(finishesWithin(10s, [&] {
        auto filter = std::make_unique<HotKeyFilter>(engine);
        HotKeyFilter* toggles = filter.get();
        std::unique_ptr<KeyTap> tap = makeKeyTap();
        ASSERT_TRUE(tap->create(std::move(filter)));
        EXPECT_FALSE(tap->isEnabled());
        tap->enable();
        EXPECT_TRUE(tap->isEnabled());
        for (int round = 0; round < 20; ++round) {
            toggles->setToggles({round % 2 == 0, round % 3 == 0, true});
        }
        tap.reset();  // joins the filter thread
    }));
}

TEST(HotKeyTapLifecycle, NoTapWithoutADisplay) {
    const DisplayVariable display(":64999");
    test::FakePasteboard pasteboard;
    test::FakeMainThread mainThread;
    BufferChecker engine(pasteboard, mainThread);
    std::unique_ptr<KeyTap> tap = makeKeyTap();
    EXPECT_FALSE(tap->create(std::make_unique<HotKeyFilter>(engine)));
    EXPECT_FALSE(tap->isEnabled());
}

}  // namespace
}  // namespace tarnwick::e2e
