#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::e2e {

class XvfbSession;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int centerX() const { return x + width / 2; }
    int centerY() const { return y + height / 2; }
    bool contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

using WindowId = unsigned long;

// The user's keyboard and mouse, and the windows on the screen, through
// xdotool. Key chords use xdotool's names: "ctrl+v", "super+3", "Return".
class Desktop {
public:
    explicit Desktop(const XvfbSession& session);

    bool key(const std::string& chord) const;
    bool keyDown(const std::string& key) const;
    bool keyUp(const std::string& key) const;
    bool type(const std::string& text) const;
    bool click(int x, int y, int button = 1) const;
    bool focus(WindowId window) const;

    // Mapped windows whose name matches the regular expression exactly
    // (anchor it yourself: "^Tarnwick$").
    std::vector<WindowId> windowsNamed(const std::string& pattern) const;
    // Mapped windows whose WM_CLASS matches.
    std::vector<WindowId> windowsOfClass(const std::string& pattern) const;
    // Waits for a mapped window with that name.
    std::optional<WindowId> waitForWindow(
        const std::string& pattern,
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Position on the screen and size.
    std::optional<Rect> geometry(WindowId window) const;

private:
    bool xdotool(std::vector<std::string> args) const;
    std::vector<WindowId> search(const char* field, const std::string& pattern) const;

    const XvfbSession& session_;
};

}  // namespace tarnwick::e2e
