#pragma once

#include "platform/KeyEvent.h"
#include "platform/KeyTap.h"

namespace tarnwick {

// One event as a tap that decides off the main thread receives it.
struct TapInput {
    enum class Kind {
        key,          // a key-down or modifier change for the filter
        ownKey,       // a chord this tap typed or posted itself
        tapDisabled,  // the system switched the tap off (macOS: timeout, user input)
        other,        // anything else the system hands the tap
    };

    Kind kind = Kind::key;
    KeyEvent event;
};

// What the tap does with it. A keyboard-wide tap must answer at once, so it
// never waits for the main thread: a paste takes the key and hands the rest to
// the main thread (carryOutConsumedKey).
struct TapRoute {
    enum class Action { pass, reenableAndPass, consume };

    Action action = Action::pass;
    KeyDecision decision;  // the paste to carry out when consumed

    friend bool operator==(const TapRoute&, const TapRoute&) = default;
};

// Decides from the filter's lock-free snapshot; any thread.
TapRoute routeTapEvent(KeyFilter& filter, const TapInput& input);

// What the tap types in place of a key it consumed.
enum class Replacement {
    pasteChord,  // the entry is on the clipboard: the paste chord
    typedKey,    // the paste proved impossible after all: the user's own key
};

// Main thread: carries out the paste chosen by routeTapEvent().
Replacement carryOutConsumedKey(KeyFilter& filter, const KeyDecision& decision);

}  // namespace tarnwick
