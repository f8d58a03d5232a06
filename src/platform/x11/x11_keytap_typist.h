#pragma once

#include <X11/Xlib.h>

#include "platform/x11/x11_keytap_xlib.h"

namespace tarnwick::x11 {

// Types key chords with XTest on a connection of its own. Used on one thread.
class ChordTypist {
public:
    // Opens the connection; false without a display or the XTEST extension.
    bool open();
    Display* display() const { return display_.get(); }

    // Types key with exactly the modifiers of mask: every other held modifier
    // key (Caps Lock and Num Lock excepted) is released first and pressed again
    // afterwards, so the focused window sees exactly this chord (Super+Ctrl+V
    // would paste nothing) and no modifier stays stuck.
    void type(KeyCode key, unsigned mask);

private:
    DisplayHandle display_;
};

}  // namespace tarnwick::x11
