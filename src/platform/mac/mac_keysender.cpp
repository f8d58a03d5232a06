#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>

#include "platform/KeySender.h"
#include "platform/mac/mac_cfhandle.h"

namespace tarnwick {

namespace {

// Posts command + X, C or V at the annotated session, where it passes our own
// tap like a typed stroke (a posted command + X is noted as a cut there).
class MacKeySender final : public KeySender {
public:
    void postCommandKey(int keyCode) override {
        const mac::CFHandle<CGEventSourceRef> source(
            CGEventSourceCreate(kCGEventSourceStatePrivate));
        const mac::CFHandle<CGEventRef> event(
            CGEventCreateKeyboardEvent(source.get(), static_cast<CGKeyCode>(keyCode), true));
        if (!event) return;
        const std::uint64_t flags = CGEventGetFlags(event.get()) | kCGEventFlagMaskCommand;
        CGEventSetFlags(event.get(), static_cast<CGEventFlags>(flags));
        CGEventPost(kCGAnnotatedSessionEventTap, event.get());
    }
};

}  // namespace

std::unique_ptr<KeySender> makeKeySender() {
    return std::make_unique<MacKeySender>();
}

}  // namespace tarnwick
