#pragma once

#include <memory>
#include <optional>
#include <string>

#include "harness/Desktop.h"
#include "harness/Process.h"

namespace tarnwick::e2e {

class XvfbSession;

// The real Tarnwick binary on a session's display, with the user's ways in:
// the status icon in the tray, its menu, the window.
//
//   XvfbSession x({.tray = true});
//   TarnwickApp app(x);
//   ASSERT_TRUE(app.waitForStatusIcon());
//   ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));
//   auto window = app.waitForWindow();
class TarnwickApp {
public:
    explicit TarnwickApp(const XvfbSession& session);

    Process& process() { return *process_; }
    Desktop& desktop() { return desktop_; }

    // The status icon's window in the tray (waits for it to appear).
    std::optional<WindowId> waitForStatusIcon(
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Clicks the status icon (left button) and waits for the menu to show.
    std::optional<Rect> openStatusMenu();
    // Opens the menu and clicks the item: "Settings" or "Quit".
    bool chooseFromStatusMenu(const std::string& item);
    // The window titled "Tarnwick", once it is shown.
    std::optional<WindowId> waitForWindow(
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // The items of the status menu, top to bottom.
    static constexpr const char* menuItems[] = {"Settings", "Quit"};

private:
    const XvfbSession& session_;
    Desktop desktop_;
    std::unique_ptr<Process> process_;
    std::optional<WindowId> statusIcon_;
};

}  // namespace tarnwick::e2e
