// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

struct _XDisplay;

namespace tarnwick::e2e {

// The harness's own Xlib connection, for the few questions the command-line
// tools cannot answer well (who owns a selection) and for a polite close.
class XConnection {
public:
    explicit XConnection(const std::string& displayName);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool ok() const { return display_ != nullptr; }

    // The window owning a selection such as "CLIPBOARD" or "_NET_SYSTEM_TRAY_S0"
    // (0 when none).
    unsigned long selectionOwner(const char* selection) const;
    // Asks a window to close as a window manager's close button would
    // (WM_DELETE_WINDOW); the application decides what closing means.
    bool requestClose(unsigned long window) const;
    // Whether the window exists and is mapped (viewable).
    bool isViewable(unsigned long window) const;
    // How many different pixel values the window shows now (0 when it cannot
    // be read): 1 means a blank area.
    int distinctColours(unsigned long window) const;
    // Name of the window (WM_NAME), none when it has none or is gone.
    std::optional<std::string> windowName(unsigned long window) const;

private:
    _XDisplay* display_ = nullptr;
};

}  // namespace tarnwick::e2e
