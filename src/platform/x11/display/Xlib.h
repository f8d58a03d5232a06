// SPDX-License-Identifier: MIT
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tarnwick::x11 {

struct DisplayCloser {
    void operator()(Display* display) const {
        if (display != nullptr) XCloseDisplay(display);
    }
};
// An X connection closed with its owner (which also drops its grabs).
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

// Collects the X errors of one connection while it lives, instead of Xlib's
// default handler ending the process; errors of other connections go on to
// the handler that was installed before. Xlib's handler is process-wide, so
// one trap at a time.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits until the server has answered every request sent so far, then
    // returns the errors they caused.
    const std::vector<XErrorEvent>& sync();

private:
    static int handle(Display* display, XErrorEvent* error);

    std::unique_lock<std::mutex> lock_;
    Display* display_;
    std::vector<XErrorEvent> errors_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

// Gathers a burst of keyboard-mapping changes (a layout switch sends many,
// some tools thousands), so that Xlib's key tables are refreshed once for
// all of them: each refresh may cost a round trip to the X server.
class MappingChanges {
public:
    void note(const XMappingEvent& change);
    // Refreshes Xlib's tables for what the noted changes touched; false when
    // nothing was noted.
    bool refresh();

private:
    std::optional<XMappingEvent> keyboard_;
    std::optional<XMappingEvent> modifiers_;
};

}  // namespace tarnwick::x11
