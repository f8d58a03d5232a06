// SPDX-License-Identifier: MIT
#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>

#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "platform/mac/mac_cfhandle.h"
#include "platform/mac/mac_letterkeys.h"

namespace tarnwick {

namespace {

// Posts command + X, C or V at the annotated session, where it passes our own
// tap like a typed stroke (a posted command + X is noted as a cut there).
class MacKeySender final : public KeySender {
public:
    void postCommandKey(int keyCode) override {
        // The menu runs on the main thread, where the layout may be read afresh.
        const auto key = static_cast<CGKeyCode>(mac::refreshLetterKeys().physical(keyCode));
        const mac::CFHandle<CGEventSourceRef> source(
            CGEventSourceCreate(kCGEventSourceStatePrivate));
        // Down and up, held by the left command key as a typed chord is:
        // some applications act on the key-up or on which command key is down.
        for (const bool down : {true, false}) {
            const mac::CFHandle<CGEventRef> event(
                CGEventCreateKeyboardEvent(source.get(), key, down));
            if (!event) return;
            const std::uint64_t flags =
                CGEventGetFlags(event.get()) | eventflag::command | eventflag::leftCommandKey;
            CGEventSetFlags(event.get(), static_cast<CGEventFlags>(flags));
            CGEventPost(kCGAnnotatedSessionEventTap, event.get());
        }
    }
};

}  // namespace

std::unique_ptr<KeySender> makeKeySender() {
    return std::make_unique<MacKeySender>();
}

}  // namespace tarnwick
