// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

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
    // reportSwitchOff: the event passes and the tap learns that the system
    // switched it off; whether and when it goes back on is its keeper's call.
    enum class Action { pass, reportSwitchOff, consume };

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

// The flags of the paste chord typed while held are down: command, held down
// by the left command key (applications that tell the keys apart otherwise
// see a command flag without a key), never control or fn; other held
// modifiers stay.
std::uint64_t pasteChordFlags(std::uint64_t held);

}  // namespace tarnwick
