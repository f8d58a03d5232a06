#include "harness/TarnwickApp.h"

#include <algorithm>
#include <iterator>

#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {

namespace {

// Qt names every window's class after the executable.
constexpr const char* appClass = "^tarnwick$";

bool contains(const std::vector<WindowId>& windows, WindowId window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace

TarnwickApp::TarnwickApp(const XvfbSession& session)
    : session_(session), desktop_(session), process_(session.start({TARNWICK_BINARY})) {}

std::optional<WindowId> TarnwickApp::waitForStatusIcon(std::chrono::milliseconds timeout) {
    // The icon is the program's window that the tray's panel embeds.
    const auto findIcon = [this]() -> std::optional<WindowId> {
        for (WindowId panel : desktop_.windowsNamed("^panel$")) {
            const auto area = desktop_.geometry(panel);
            if (!area) continue;
            for (WindowId candidate : desktop_.windowsOfClass(appClass)) {
                const auto place = desktop_.geometry(candidate);
                if (place && area->contains(place->centerX(), place->centerY())) return candidate;
            }
        }
        return std::nullopt;
    };
    waitUntil([&] { return (statusIcon_ = findIcon()).has_value(); }, timeout);
    return statusIcon_;
}

std::optional<Rect> TarnwickApp::openStatusMenu() {
    if (!statusIcon_ && !waitForStatusIcon()) return std::nullopt;
    const auto icon = desktop_.geometry(*statusIcon_);
    if (!icon) return std::nullopt;
    const std::vector<WindowId> before = desktop_.windowsOfClass(appClass);
    if (!desktop_.click(icon->centerX(), icon->centerY())) return std::nullopt;
    std::optional<WindowId> menu;
    waitUntil(
        [&] {
            for (WindowId window : desktop_.windowsOfClass(appClass)) {
                if (!contains(before, window)) menu = window;
            }
            return menu.has_value();
        },
        10s);
    if (!menu) return std::nullopt;
    return desktop_.geometry(*menu);
}

bool TarnwickApp::chooseFromStatusMenu(const std::string& item) {
    const auto first = std::begin(menuItems), last = std::end(menuItems);
    const auto found = std::find(first, last, item);
    if (found == last) return false;
    const auto menu = openStatusMenu();
    if (!menu) return false;
    // The items share the menu's height equally; aim at the middle of one.
    const int count = static_cast<int>(last - first);
    const int row = static_cast<int>(found - first);
    const int y = menu->y + menu->height * (2 * row + 1) / (2 * count);
    return desktop_.click(menu->centerX(), y);
}

std::optional<WindowId> TarnwickApp::waitForWindow(std::chrono::milliseconds timeout) const {
    return desktop_.waitForWindow("^Tarnwick$", timeout);
}

}  // namespace tarnwick::e2e
