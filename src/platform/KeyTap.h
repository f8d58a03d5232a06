// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyEvent.h"

namespace tarnwick {

// Which of the three modifier roles have their toggle on.
struct ModifierToggles {
    bool fn = false;
    bool control = false;
    bool command = false;

    friend bool operator==(const ModifierToggles&, const ModifierToggles&) = default;
};

// How long an entry waits on the clipboard for a paste key pressed by hand
// (a desktop that lets no program type it) before entry 0 comes back: time
// for a deliberate second key after the shortcut.
inline constexpr std::chrono::milliseconds handPasteHold{5000};

// A chord the filter can act on: keyCode with at least one of the flags in
// anyOf held (other modifiers may be held too).
struct HotChord {
    int keyCode = 0;
    std::uint64_t anyOf = 0;
};

// What the hot-key filter does with one key event.
struct KeyDecision {
    enum class Action { pass, paste, noteCut };

    Action action = Action::pass;
    int index = -1;           // the history index to paste
    bool plainPaste = false;  // the paste chord itself asked for it (index 0)
    // No chord follows: the user presses the paste key, so the entry stays on
    // the clipboard longer.
    bool byHand = false;

    friend bool operator==(const KeyDecision&, const KeyDecision&) = default;
};

// What a platform tap asks of the hot-key filter. A keyboard-wide tap must
// answer at once (X11 freezes the keyboard meanwhile, macOS switches a slow tap
// off), so both taps decide on a thread of their own with
// decideWithoutWaiting() and hand the paste to the main thread (TapRouting.h).
// eventTapCallback() is the same filter decided and carried out in one call on
// the main thread.
class KeyFilter {
public:
    virtual ~KeyFilter() = default;

    // Main thread: the event to deliver in place of event, or none to deliver
    // event itself.
    virtual std::optional<KeyEvent> eventTapCallback(const KeyEvent& event) = 0;

    // Any thread, lock-free and never waiting: the decision from the latest
    // snapshot of the toggles and the history. Notes a cut itself.
    virtual KeyDecision decideWithoutWaiting(const KeyEvent& event) = 0;
    // Main thread: carries out a paste chosen by decideWithoutWaiting(); false
    // when it proved impossible after all, so the key must go on as typed.
    virtual bool carryOutPaste(const KeyDecision& decision) = 0;

    // Any thread: the toggles as they are now.
    virtual ModifierToggles toggles() const = 0;
    // Called on the main thread after every toggle change.
    virtual void setTogglesChangedListener(std::function<void()> listener) = 0;
    // Any thread: exactly the chords the filter can act on with the toggles
    // as they are now (a tap that grabs keys grabs these).
    virtual std::vector<HotChord> hotChords() const = 0;
};

// What a tap tells the user about itself: a line for the status menu, empty
// once all is well again. fatal: the tap can no longer work at all, and the
// program ends with status 1 once it has printed the line.
struct TapNotice {
    std::string line;
    bool fatal = false;
};

// A system-wide filter of key-down and modifier-change events.
class KeyTap {
public:
    virtual ~KeyTap() = default;

    // Called on the main thread whenever the tap's notice changes; set it
    // before create().
    virtual void setNoticeListener(std::function<void(const TapNotice&)> listener) {
        (void)listener;
    }
    // Installs the tap around filter, or (macOS) waits for the permission it
    // needs, asking the user once, and installs it when given. False when the
    // system refuses one (no permission although asked, no display, no XTEST).
    virtual bool create(std::unique_ptr<KeyFilter> filter) = 0;
    virtual void enable() = 0;
    // The tap is on, or waits for its permission and comes on once given.
    virtual bool isEnabled() const = 0;
    // What to print when create() failed.
    virtual std::string failureMessage() const = 0;
    // Main thread: pastes history index as its hot key does (asked from
    // outside, by a desktop's own shortcut); false when nothing was pasted.
    virtual bool pasteEntry(int index) {
        (void)index;
        return false;
    }
};

class MainThread;

// The tap of the platform this program was built for; it hands pastes to
// mainThread.
std::unique_ptr<KeyTap> makeKeyTap(MainThread& mainThread);

}  // namespace tarnwick
