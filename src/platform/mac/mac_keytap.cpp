#include <ApplicationServices/ApplicationServices.h>

#include <cstdint>
#include <optional>

#include "platform/KeyTap.h"
#include "platform/mac/mac_cfhandle.h"

namespace tarnwick {

namespace {

KeyEvent toKeyEvent(CGEventType type, CGEventRef event) {
    KeyEvent key;
    key.type =
        type == kCGEventFlagsChanged ? KeyEvent::Type::flagsChanged : KeyEvent::Type::keyDown;
    key.keyCode = static_cast<int>(CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode));
    key.flags = static_cast<std::uint64_t>(CGEventGetFlags(event));
    return key;
}

// The key-down delivered in place of original, made from original's source:
// command set, then secondary fn and control cleared; every other flag as the
// new event was created with it. None when no event can be made.
CGEventRef makePasteEvent(CGEventRef original, const KeyEvent& replacement) {
    const mac::CFHandle<CGEventSourceRef> source(CGEventCreateSourceFromEvent(original));
    CGEventRef made =
        CGEventCreateKeyboardEvent(source.get(), static_cast<CGKeyCode>(replacement.keyCode), true);
    if (made == nullptr) return nullptr;
    std::uint64_t flags = CGEventGetFlags(made);
    flags |= kCGEventFlagMaskCommand;
    flags &= ~std::uint64_t{kCGEventFlagMaskSecondaryFn};
    flags &= ~std::uint64_t{kCGEventFlagMaskControl};
    CGEventSetFlags(made, static_cast<CGEventFlags>(flags));
    return made;
}

// The system-wide key-event tap at the annotated session, its callback on the
// main run loop.
class MacKeyTap final : public KeyTap {
public:
    ~MacKeyTap() override {
        if (source_)
            CFRunLoopRemoveSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
        if (tap_) {
            CGEventTapEnable(tap_.get(), false);
            CFMachPortInvalidate(tap_.get());
        }
    }

    bool create(std::unique_ptr<KeyFilter> filter) override {
        filter_ = std::move(filter);
        const CGEventMask mask =
            CGEventMaskBit(kCGEventKeyDown) | CGEventMaskBit(kCGEventFlagsChanged);
        tap_.reset(CGEventTapCreate(kCGAnnotatedSessionEventTap, kCGHeadInsertEventTap,
                                    kCGEventTapOptionDefault, mask, &MacKeyTap::callback, this));
        if (!tap_) return false;
        source_.reset(CFMachPortCreateRunLoopSource(kCFAllocatorDefault, tap_.get(), 0));
        if (!source_) return false;
        CFRunLoopAddSource(CFRunLoopGetMain(), source_.get(), kCFRunLoopCommonModes);
        return true;
    }

    void enable() override {
        if (tap_) CGEventTapEnable(tap_.get(), true);
    }
    bool isEnabled() const override { return tap_ && CGEventTapIsEnabled(tap_.get()); }

private:
    static CGEventRef callback(CGEventTapProxy /*proxy*/, CGEventType type, CGEventRef event,
                               void* refcon) {
        auto* self = static_cast<MacKeyTap*>(refcon);
        // The system switches a slow or interrupted tap off; without this the
        // hot keys would silently stop working.
        if (type == kCGEventTapDisabledByTimeout || type == kCGEventTapDisabledByUserInput) {
            self->enable();
            return event;
        }
        if (type != kCGEventKeyDown && type != kCGEventFlagsChanged) return event;
        const std::optional<KeyEvent> replacement =
            self->filter_->eventTapCallback(toKeyEvent(type, event));
        if (!replacement) return event;
        // Returned, not posted: the system releases it with the original.
        CGEventRef made = makePasteEvent(event, *replacement);
        return made != nullptr ? made : event;
    }

    std::unique_ptr<KeyFilter> filter_;
    mac::CFHandle<CFMachPortRef> tap_;
    mac::CFHandle<CFRunLoopSourceRef> source_;
};

}  // namespace

std::unique_ptr<KeyTap> makeKeyTap() {
    return std::make_unique<MacKeyTap>();
}

}  // namespace tarnwick
