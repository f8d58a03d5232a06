#include <ApplicationServices/ApplicationServices.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <thread>

#include "platform/KeyTap.h"
#include "platform/MainThread.h"
#include "platform/TapRouting.h"
#include "platform/mac/mac_cfhandle.h"

namespace tarnwick {

namespace {

// Marks the key events this tap posts itself, so that they pass it untouched
// ("TARN" in the event's source user data).
constexpr std::int64_t ownEventMark = 0x5441524E;

TapInput toTapInput(CGEventType type, CGEventRef event) {
    TapInput input;
    if (type == kCGEventTapDisabledByTimeout || type == kCGEventTapDisabledByUserInput) {
        input.kind = TapInput::Kind::tapDisabled;
        return input;
    }
    if (type != kCGEventKeyDown && type != kCGEventFlagsChanged) {
        input.kind = TapInput::Kind::other;
        return input;
    }
    const bool own = CGEventGetIntegerValueField(event, kCGEventSourceUserData) == ownEventMark;
    input.kind = own ? TapInput::Kind::ownKey : TapInput::Kind::key;
    input.event.type =
        type == kCGEventFlagsChanged ? KeyEvent::Type::flagsChanged : KeyEvent::Type::keyDown;
    input.event.keyCode =
        static_cast<int>(CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode));
    input.event.flags = static_cast<std::uint64_t>(CGEventGetFlags(event));
    return input;
}

// The V key-down typed in place of original, made from original's source:
// command set, then secondary fn and control cleared; every other flag as the
// new event was created with it. None when no event can be made.
CGEventRef makePasteEvent(CGEventRef original) {
    const mac::CFHandle<CGEventSourceRef> source(CGEventCreateSourceFromEvent(original));
    CGEventRef made = CGEventCreateKeyboardEvent(source.get(), CGKeyCode{9}, true);
    if (made == nullptr) return nullptr;
    std::uint64_t flags = CGEventGetFlags(made);
    flags |= kCGEventFlagMaskCommand;
    flags &= ~std::uint64_t{kCGEventFlagMaskSecondaryFn};
    flags &= ~std::uint64_t{kCGEventFlagMaskControl};
    CGEventSetFlags(made, static_cast<CGEventFlags>(flags));
    return made;
}

// Asks for the Accessibility permission that an event-modifying tap needs;
// the system shows its prompt while the permission is missing.
void askForAccessibilityTrust() {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {kCFBooleanTrue};
    const mac::CFHandle<CFDictionaryRef> options(
        CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                           &kCFTypeDictionaryValueCallBacks));
    // The answer is not awaited: a permission granted later needs a new start,
    // and whether the tap can be made is what decides.
    AXIsProcessTrustedWithOptions(options.get());
}

// The system-wide key-event tap at the annotated session. Its callback runs on
// a thread of its own with its own run loop and decides from the filter's
// lock-free snapshot, so that no main-thread work ever delays a keystroke (a
// late answer also makes the system switch the tap off). A paste takes the
// key; the main thread then writes the entry and posts the paste chord.
class MacKeyTap final : public KeyTap {
public:
    explicit MacKeyTap(MainThread& mainThread) : mainThread_(mainThread) {}
    ~MacKeyTap() override;

    bool create(std::unique_ptr<KeyFilter> filter) override;
    void enable() override {
        if (tap_) CGEventTapEnable(tap_.get(), true);
    }
    bool isEnabled() const override { return tap_ && CGEventTapIsEnabled(tap_.get()); }

private:
    static CGEventRef callback(CGEventTapProxy proxy, CGEventType type, CGEventRef event,
                               void* refcon);
    void run(std::promise<void>& started);
    void handOver(CGEventRef event, const KeyDecision& decision);
    void pasteOnMainThread(CGEventRef original, const KeyDecision& decision);

    std::unique_ptr<KeyFilter> filter_;
    mac::CFHandle<CFMachPortRef> tap_;
    mac::CFHandle<CFRunLoopSourceRef> source_;
    CFRunLoopRef runLoop_ = nullptr;  // the tap thread's, kept while it runs
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    MainThread& mainThread_;
    // Cleared at destruction, so that a paste still queued finds no tap.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

MacKeyTap::~MacKeyTap() {
    *alive_ = false;
    stopping_ = true;
    if (tap_) CGEventTapEnable(tap_.get(), false);
    if (runLoop_ != nullptr) {
        // Without its source the run loop has nothing left to wait for, even
        // if the stop arrives before it runs.
        CFRunLoopRemoveSource(runLoop_, source_.get(), kCFRunLoopDefaultMode);
        CFRunLoopStop(runLoop_);
    }
    if (thread_.joinable()) thread_.join();
    if (tap_) CFMachPortInvalidate(tap_.get());
}

bool MacKeyTap::create(std::unique_ptr<KeyFilter> filter) {
    askForAccessibilityTrust();
    filter_ = std::move(filter);
    const CGEventMask mask = CGEventMaskBit(kCGEventKeyDown) | CGEventMaskBit(kCGEventFlagsChanged);
    tap_.reset(CGEventTapCreate(kCGAnnotatedSessionEventTap, kCGHeadInsertEventTap,
                                kCGEventTapOptionDefault, mask, &MacKeyTap::callback, this));
    if (!tap_) return false;
    source_.reset(CFMachPortCreateRunLoopSource(kCFAllocatorDefault, tap_.get(), 0));
    if (!source_) return false;
    std::promise<void> started;
    std::future<void> ready = started.get_future();
    // The promise moves to the thread: set_value() may still be running there
    // when this function has returned.
    thread_ = std::thread([this, started = std::move(started)]() mutable { run(started); });
    ready.wait();
    return true;
}

void MacKeyTap::run(std::promise<void>& started) {
    runLoop_ = CFRunLoopGetCurrent();
    CFRunLoopAddSource(runLoop_, source_.get(), kCFRunLoopDefaultMode);
    started.set_value();
    while (!stopping_) {
        const CFRunLoopRunResult result = CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0e10, false);
        if (result == kCFRunLoopRunFinished) break;
    }
}

CGEventRef MacKeyTap::callback(CGEventTapProxy /*proxy*/, CGEventType type, CGEventRef event,
                               void* refcon) {
    auto* self = static_cast<MacKeyTap*>(refcon);
    const TapRoute route = routeTapEvent(*self->filter_, toTapInput(type, event));
    switch (route.action) {
        case TapRoute::Action::reenableAndPass:
            self->enable();
            return event;
        case TapRoute::Action::pass:
            return event;
        case TapRoute::Action::consume:
            break;
    }
    self->handOver(event, route.decision);
    return nullptr;  // the key is taken; the main thread posts what replaces it
}

void MacKeyTap::handOver(CGEventRef event, const KeyDecision& decision) {
    // The tap's event is released when the callback returns: keep a copy.
    auto original = std::make_shared<mac::CFHandle<CGEventRef>>(CGEventCreateCopy(event));
    mainThread_.post([this, alive = alive_, original, decision] {
        if (*alive && *original) pasteOnMainThread(original->get(), decision);
    });
}

void MacKeyTap::pasteOnMainThread(CGEventRef original, const KeyDecision& decision) {
    mac::CFHandle<CGEventRef> typed;
    if (carryOutConsumedKey(*filter_, decision) == Replacement::pasteChord)
        typed.reset(makePasteEvent(original));
    // The snapshot raced the main thread, or no event could be made: the key
    // was already taken, so the user's own key goes on as typed.
    if (!typed) typed.reset(CGEventCreateCopy(original));
    if (!typed) return;
    CGEventSetIntegerValueField(typed.get(), kCGEventSourceUserData, ownEventMark);
    CGEventPost(kCGAnnotatedSessionEventTap, typed.get());
}

}  // namespace

std::unique_ptr<KeyTap> makeKeyTap(MainThread& mainThread) {
    return std::make_unique<MacKeyTap>(mainThread);
}

}  // namespace tarnwick
