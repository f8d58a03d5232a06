// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include "platform/KeyEvent.h"

namespace tarnwick {

// The keys that type V, X and C in one keyboard layout with command held:
// the layer that shortcuts see, so "Dvorak - QWERTY Command" is QWERTY here.
// The filter's vocabulary means the letters; a backend translates with this.
struct LetterKeys {
    int v = keycode::V;
    int x = keycode::X;
    int c = keycode::C;

    // The layout's key for keycode::V, X or C; any other code as it is.
    int physical(int vocabularyCode) const;
    // keycode::V, X or C for the keys that type them here; keycode::none for a
    // key on the ANSI place of one of those letters that types something else
    // here (Dvorak's K on V's place must not paste); any other key as it is.
    int vocabulary(int physicalCode) const;

    friend bool operator==(const LetterKeys&, const LetterKeys&) = default;
};

// What a key of the layout types with command held: one character, or 0.
using CommandLayer = std::function<char32_t(int keyCode)>;

// Looks through key codes 0 to 127, never the digits (they stay by position).
// A letter that no key types, or every letter when there is no layout data
// (an empty layer), keeps its ANSI key.
LetterKeys findLetterKeys(const CommandLayer& layer);

}  // namespace tarnwick
