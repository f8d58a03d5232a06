// SPDX-License-Identifier: MIT
#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>

#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <thread>

#include "platform/KeyTap.h"
#include "platform/MainThread.h"
#include "platform/TapKeeper.h"
#include "platform/TapRouting.h"
#include "platform/mac/mac_cfhandle.h"
#include "platform/mac/mac_letterkeys.h"

namespace tarnwick {

namespace {

// Marks the key events this tap posts itself, so that they pass it untouched
// ("TARN" in the event's source user data).
constexpr std::int64_t ownEventMark = 0x5441524E;

const char* const waitingLine =
    "Hot keys wait for the Accessibility permission: switch Tarnwick on in System Settings > "
    "Privacy & Security > Accessibility.";
const char* const secureInputLine =
    "Hot keys are paused: another application has turned on secure input (a password field, "
    "for one) and macOS hides the keys until it ends.";
const char* const refusedLine =
    "Tarnwick has the Accessibility permission, but macOS refused its key filter. Remove "
    "Tarnwick from System Settings > Privacy & Security > Accessibility with the minus button, "
    "switch it on again, then start Tarnwick again.";

TapKeeper::Time now() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

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
    const auto code = static_cast<int>(CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode));
    input.event.keyCode = mac::currentLetterKeys().vocabulary(code);
    input.event.flags = static_cast<std::uint64_t>(CGEventGetFlags(event));
    return input;
}

void postOwn(CGEventRef event) {
    CGEventSetIntegerValueField(event, kCGEventSourceUserData, ownEventMark);
    CGEventPost(kCGAnnotatedSessionEventTap, event);
}

// Types the paste chord from source: the layout's V key down and up, with
// pasteChordFlags() of the flags the new events were created with. False
// when no event can be made.
bool postPasteChord(CGEventSourceRef source, const LetterKeys& keys) {
    const auto v = static_cast<CGKeyCode>(keys.physical(keycode::V));
    const mac::CFHandle<CGEventRef> down(CGEventCreateKeyboardEvent(source, v, true));
    const mac::CFHandle<CGEventRef> up(CGEventCreateKeyboardEvent(source, v, false));
    if (!down || !up) return false;
    const auto flags = static_cast<CGEventFlags>(pasteChordFlags(CGEventGetFlags(down.get())));
    for (CGEventRef event : {down.get(), up.get()}) {
        CGEventSetFlags(event, flags);
        postOwn(event);
    }
    return true;
}

// Asks for the Accessibility permission that an event-modifying tap needs;
// the system shows its prompt while it is missing and answers at once, so a
// later grant is found by asking again.
bool askForAccessibilityTrust() {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {kCFBooleanTrue};
    const mac::CFHandle<CFDictionaryRef> options(
        CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                           &kCFTypeDictionaryValueCallBacks));
    return AXIsProcessTrustedWithOptions(options.get());
}

// A program started from the Finder has no terminal: a refusal is also shown.
void alertRefusal() {
    QMessageBox::critical(nullptr, QStringLiteral("Tarnwick"), QString::fromUtf8(refusedLine));
}

// The system-wide key-event tap at the annotated session. Its callback runs on
// a thread of its own with its own run loop and decides from the filter's
// lock-free snapshot, so that no main-thread work ever delays a keystroke (a
// late answer also makes the system switch the tap off). A paste takes the
// key; the main thread then writes the entry and posts the paste chord.
// Installing, re-enabling and removing the tap happen on the main thread as
// the keeper says, looking at the permission once a second.
class MacKeyTap final : public KeyTap {
public:
    explicit MacKeyTap(MainThread& mainThread) : mainThread_(mainThread) {}
    ~MacKeyTap() override;

    void setNoticeListener(std::function<void(const TapNotice&)> listener) override {
        noticeListener_ = std::move(listener);
    }
    bool create(std::unique_ptr<KeyFilter> filter) override;
    void enable() override {
        if (tap_) CGEventTapEnable(tap_.get(), true);
    }
    bool isEnabled() const override {
        return keeper_.waiting() || (tap_ && CGEventTapIsEnabled(tap_.get()));
    }
    std::string failureMessage() const override { return refusedLine; }
    bool pasteEntry(int index) override;

private:
    static CGEventRef callback(CGEventTapProxy proxy, CGEventType type, CGEventRef event,
                               void* refcon);
    bool install();
    void uninstall();
    void check();
    void follow(TapKeeper::Step step);
    void tell();
    void run(std::promise<void>& started);
    void handOver(CGEventRef event, const KeyDecision& decision);
    void pasteOnMainThread(CGEventRef original, const KeyDecision& decision);

    std::unique_ptr<KeyFilter> filter_;
    TapKeeper keeper_;
    QTimer checkTimer_;
    std::function<void(const TapNotice&)> noticeListener_;
    TapKeeper::Notice told_ = TapKeeper::Notice::none;
    mac::CFHandle<CFMachPortRef> tap_;
    mac::CFHandle<CFRunLoopSourceRef> source_;
    CFRunLoopRef runLoop_ = nullptr;  // the tap thread's, kept while it runs
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    MainThread& mainThread_;
    // Cleared at destruction, so that work still queued finds no tap.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

MacKeyTap::~MacKeyTap() {
    *alive_ = false;
    uninstall();
}

bool MacKeyTap::create(std::unique_ptr<KeyFilter> filter) {
    filter_ = std::move(filter);
    follow(keeper_.tick(askForAccessibilityTrust(), IsSecureEventInputEnabled(), now()));
    if (keeper_.notice() == TapKeeper::Notice::cannotInstall) {
        alertRefusal();
        return false;
    }
    QObject::connect(&checkTimer_, &QTimer::timeout, [this] { check(); });
    checkTimer_.start(std::chrono::seconds(1));
    tell();
    return true;
}

void MacKeyTap::check() {
    follow(keeper_.tick(AXIsProcessTrusted(), IsSecureEventInputEnabled(), now()));
    tell();
}

void MacKeyTap::follow(TapKeeper::Step step) {
    switch (step) {
        case TapKeeper::Step::none:
            break;
        case TapKeeper::Step::install:
            keeper_.installed(install());
            break;
        case TapKeeper::Step::reenable:
            enable();
            break;
        case TapKeeper::Step::remove:
            uninstall();
            break;
    }
}

// Each notice is said once, when it begins; an empty line ends it.
void MacKeyTap::tell() {
    const TapKeeper::Notice notice = keeper_.notice();
    if (notice == told_) return;
    told_ = notice;
    TapNotice said;
    switch (notice) {
        case TapKeeper::Notice::none:
            break;
        case TapKeeper::Notice::waitingForPermission:
            said.line = waitingLine;
            break;
        case TapKeeper::Notice::secureInput:
            said.line = secureInputLine;
            break;
        case TapKeeper::Notice::cannotInstall:
            checkTimer_.stop();
            alertRefusal();
            said = {refusedLine, true};
            break;
    }
    if (noticeListener_) noticeListener_(said);
}

bool MacKeyTap::install() {
    const CGEventMask mask = CGEventMaskBit(kCGEventKeyDown) | CGEventMaskBit(kCGEventFlagsChanged);
    tap_.reset(CGEventTapCreate(kCGAnnotatedSessionEventTap, kCGHeadInsertEventTap,
                                kCGEventTapOptionDefault, mask, &MacKeyTap::callback, this));
    if (!tap_) return false;
    source_.reset(CFMachPortCreateRunLoopSource(kCFAllocatorDefault, tap_.get(), 0));
    if (!source_) {
        uninstall();
        return false;
    }
    std::promise<void> started;
    std::future<void> ready = started.get_future();
    // The promise moves to the thread: set_value() may still be running there
    // when this function has returned.
    thread_ = std::thread([this, started = std::move(started)]() mutable { run(started); });
    ready.wait();
    return true;
}

void MacKeyTap::uninstall() {
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
    runLoop_ = nullptr;
    source_.reset();
    tap_.reset();
    stopping_ = false;
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
        case TapRoute::Action::reportSwitchOff:
            // Never re-enabled from here: only the main thread knows whether
            // the permission still holds and how long to pause.
            self->mainThread_.post([self, alive = self->alive_] {
                if (!*alive) return;
                self->follow(self->keeper_.switchedOff(AXIsProcessTrusted(), now()));
                self->tell();
            });
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
    const mac::CFHandle<CGEventSourceRef> source(CGEventCreateSourceFromEvent(original));
    if (carryOutConsumedKey(*filter_, decision) == Replacement::pasteChord &&
        postPasteChord(source.get(), mac::currentLetterKeys()))
        return;
    // The snapshot raced the main thread, or no event could be made: the key
    // was already taken, so the user's own key goes on as typed.
    const mac::CFHandle<CGEventRef> typed(CGEventCreateCopy(original));
    if (typed) postOwn(typed.get());
}

// Asked from outside (tarnwick --paste N), there is no typed key to take the
// source from: a private one, so that keys the user still holds for the
// shortcut do not join the chord.
bool MacKeyTap::pasteEntry(int index) {
    const KeyDecision decision{KeyDecision::Action::paste, index, false};
    if (!filter_ || carryOutConsumedKey(*filter_, decision) != Replacement::pasteChord) {
        return false;
    }
    const mac::CFHandle<CGEventSourceRef> source(CGEventSourceCreate(kCGEventSourceStatePrivate));
    // On the main thread the layout may be read afresh.
    return postPasteChord(source.get(), mac::refreshLetterKeys());
}

}  // namespace

std::unique_ptr<KeyTap> makeKeyTap(MainThread& mainThread) {
    return std::make_unique<MacKeyTap>(mainThread);
}

}  // namespace tarnwick
