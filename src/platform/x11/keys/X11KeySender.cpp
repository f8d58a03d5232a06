// SPDX-License-Identifier: MIT
#include <X11/keysym.h>

#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "platform/x11/keys/ChordTypist.h"
#include "platform/x11/X11Platform.h"

namespace tarnwick {

namespace {

KeySym symFor(int keyCode) {
    switch (keyCode) {
        case keycode::X:
            return XK_x;
        case keycode::C:
            return XK_c;
        case keycode::V:
            return XK_v;
        default:
            return NoSymbol;
    }
}

// Types Ctrl + X, C or V with XTest, so the chord passes our own key filter
// (and is noted as a cut) exactly like a typed one.
class X11KeySender final : public KeySender {
public:
    X11KeySender() { typist_.open(); }

    void postCommandKey(int keyCode) override {
        Display* display = typist_.display();
        const KeySym sym = symFor(keyCode);
        if (display == nullptr || sym == NoSymbol) return;
        typist_.type(XKeysymToKeycode(display, sym), ControlMask);
    }

private:
    x11::ChordTypist typist_;
};

}  // namespace

std::unique_ptr<KeySender> x11::makeKeySender() {
    return std::make_unique<X11KeySender>();
}

}  // namespace tarnwick
