#include "harness/Desktop.h"

#include <sstream>

#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {

Desktop::Desktop(const XvfbSession& session) : session_(session) {}

bool Desktop::xdotool(std::vector<std::string> args) const {
    args.insert(args.begin(), "xdotool");
    return session_.run(std::move(args)).ok();
}

bool Desktop::key(const std::string& chord) const {
    return xdotool({"key", chord});
}
bool Desktop::keyDown(const std::string& key) const {
    return xdotool({"keydown", key});
}
bool Desktop::keyUp(const std::string& key) const {
    return xdotool({"keyup", key});
}
bool Desktop::type(const std::string& text) const {
    return xdotool({"type", "--", text});
}

bool Desktop::click(int x, int y, int button) const {
    return xdotool({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click",
                    std::to_string(button)});
}

bool Desktop::focus(WindowId window) const {
    // No window manager runs here, so focus is set directly, not "activated".
    return xdotool({"windowfocus", "--sync", std::to_string(window)});
}

std::vector<WindowId> Desktop::search(const char* field, const std::string& pattern) const {
    const CommandResult result =
        session_.run({"xdotool", "search", "--onlyvisible", field, pattern});
    std::vector<WindowId> windows;
    std::istringstream lines(result.output);
    for (WindowId id = 0; lines >> id;) windows.push_back(id);
    return windows;
}

std::vector<WindowId> Desktop::windowsNamed(const std::string& pattern) const {
    return search("--name", pattern);
}

std::vector<WindowId> Desktop::windowsOfClass(const std::string& pattern) const {
    return search("--class", pattern);
}

std::optional<WindowId> Desktop::waitForWindow(const std::string& pattern,
                                               std::chrono::milliseconds timeout) const {
    std::vector<WindowId> found;
    waitUntil([&] { return !(found = windowsNamed(pattern)).empty(); }, timeout);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::optional<Rect> Desktop::geometry(WindowId window) const {
    const CommandResult result =
        session_.run({"xdotool", "getwindowgeometry", "--shell", std::to_string(window)});
    if (!result.ok()) return std::nullopt;
    Rect rect;
    int seen = 0;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (name == "X") rect.x = value, ++seen;
        if (name == "Y") rect.y = value, ++seen;
        if (name == "WIDTH") rect.width = value, ++seen;
        if (name == "HEIGHT") rect.height = value, ++seen;
    }
    if (seen != 4) return std::nullopt;
    return rect;
}

}  // namespace tarnwick::e2e
