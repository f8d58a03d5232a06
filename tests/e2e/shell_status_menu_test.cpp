// The real binary on a private X server with a tray: it stays up, its status
// menu opens the window and ends the program.
#include <gtest/gtest.h>

#include "harness/TarnwickApp.h"
#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {
namespace {

class StatusMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << x.error();
        ASSERT_TRUE(app.process().started()) << app.process().error();
        ASSERT_TRUE(app.waitForStatusIcon()) << "no status icon in the tray\n"
                                             << app.process().standardError();
    }

    // Output of the program, for failure messages.
    std::string log() {
        return "stdout: " + app.process().standardOutput() +
               "\nstderr: " + app.process().standardError();
    }

    XvfbSession x{{.tray = true}};
    TarnwickApp app{x};
};

TEST_F(StatusMenuTest, StaysUpWithItsStatusIconAndNoWindow) {
    // A start-up failure would end the process within this span.
    EXPECT_FALSE(app.process().waitForExit(1500ms)) << log();
    EXPECT_TRUE(app.desktop().windowsNamed("^Tarnwick$").empty())
        << "the window opened although a tray exists";
}

TEST_F(StatusMenuTest, StatusIconShowsTheLogo) {
    const auto icon = app.waitForStatusIcon();
    ASSERT_TRUE(icon);
    // A missing image leaves the icon one flat colour; the logo has many.
    EXPECT_TRUE(waitUntil([&] { return x.x().distinctColours(*icon) > 8; }, 5s))
        << "the status icon is blank: " << x.x().distinctColours(*icon) << " colour(s)";
}

TEST_F(StatusMenuTest, SettingsShowsTheWindowAndClosingItKeepsTheProgram) {
    ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));
    const auto window = app.waitForWindow();
    ASSERT_TRUE(window) << log();

    ASSERT_TRUE(x.x().requestClose(*window));
    EXPECT_TRUE(waitUntil([&] { return !x.x().isViewable(*window); }, 5s));
    EXPECT_FALSE(app.process().waitForExit(500ms)) << "closing the window ended the program";

    // It comes back on the next "Settings".
    ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));
    EXPECT_TRUE(app.waitForWindow()) << log();
}

TEST_F(StatusMenuTest, QuitEndsTheProgramWithStatusZero) {
    ASSERT_TRUE(app.chooseFromStatusMenu("Quit"));
    const auto status = app.process().waitForExit(10s);
    ASSERT_TRUE(status) << "still running after Quit";
    EXPECT_EQ(*status, 0) << log();
}

TEST(StatusMenuWithoutTray, OpensTheWindowAtStartUp) {
    XvfbSession x;
    ASSERT_TRUE(x.ok()) << x.error();
    TarnwickApp app(x);
    EXPECT_TRUE(app.waitForWindow()) << app.process().standardError();
    EXPECT_TRUE(app.process().running());
}

}  // namespace
}  // namespace tarnwick::e2e
