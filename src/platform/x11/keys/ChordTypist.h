// SPDX-License-Identifier: MIT
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "platform/x11/display/Xlib.h"

class QSocketNotifier;

namespace tarnwick::x11 {

// Types key chords with XTest on a connection of its own. Used on the main
// thread, which also reads and drops the events sent to the connection (the
// X server would otherwise keep them), noting keyboard-mapping changes.
class ChordTypist {
public:
    ChordTypist();
    ~ChordTypist();
    ChordTypist(const ChordTypist&) = delete;
    ChordTypist& operator=(const ChordTypist&) = delete;

    // Opens the connection; false without a display or the XTEST extension.
    bool open();
    Display* display() const { return display_.get(); }

    // Types key with exactly the modifiers of mask: every other held modifier
    // key (Caps Lock and Num Lock excepted) is released first and pressed again
    // afterwards, so the focused window sees exactly this chord (Super+Ctrl+V
    // would paste nothing) and no modifier stays stuck.
    void type(KeyCode key, unsigned mask);

private:
    void dropEvents();

    DisplayHandle display_;
    std::unique_ptr<QSocketNotifier> events_;
};

}  // namespace tarnwick::x11
