// SPDX-License-Identifier: MIT
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/KeyTap.h"

namespace tarnwick::x11 {

// Modifier roles on X11: command = Ctrl, control = Super, fn = Alt.
inline constexpr unsigned commandMask = ControlMask;
inline constexpr unsigned controlMask = Mod4Mask;
inline constexpr unsigned fnMask = Mod1Mask;

// Which modifier bits are locks (Caps Lock, and whichever bit Num Lock sets):
// a chord is grabbed once for every combination of them.
struct ModifierLayout {
    unsigned numLockMask = Mod2Mask;

    unsigned chordBits() const { return 0xFFu & ~(LockMask | numLockMask); }
    std::array<unsigned, 4> lockVariants() const {
        return {0u, LockMask, numLockMask, LockMask | numLockMask};
    }
};
ModifierLayout readModifierLayout(Display* display);

// The event flags of a key event's modifier state.
std::uint64_t flagsFromState(unsigned state);

// The keys the filter knows (digits, V, X), by X key code and by the filter's
// key code.
class KeyTable {
public:
    explicit KeyTable(Display* display);

    int filterKeyCode(unsigned xKeyCode) const;  // -1 when not a filter key
    KeyCode xKeyCode(int filterKeyCode) const;   // 0 when the keyboard lacks it
    std::string name(KeyCode xKeyCode) const;

    friend bool operator==(const KeyTable&, const KeyTable&) = default;

private:
    std::array<int, 256> toFilter_{};
};

// One passive grab, without its lock variants.
struct Chord {
    KeyCode key = 0;
    unsigned modifiers = 0;
};

// Exactly the chords the filter can act on: V and X with Ctrl and any other
// modifiers, each digit with every modifier set that holds an enabled one.
std::vector<Chord> chordsToGrab(const KeyTable& keys, ModifierLayout layout,
                                const std::vector<HotChord>& hot);

// "ctrl+super+3", as the user would name the chord.
std::string chordName(const KeyTable& keys, const Chord& chord);

}  // namespace tarnwick::x11
