// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEvent.h"
#include "platform/KeyTap.h"

namespace tarnwick {

// What the engine can do right now, as far as the deciding thread knows.
struct PasteAbility {
    int historyLength = 0;                // entries that a hot key may paste
    bool plainPasteNeedsRewrite = false;  // the clipboard's plain text is not entry 0
};

// The history index that a digit key selects (1 -> 0 ... 0 -> 9), or -1.
int digitIndex(int keyCode);

// What the key asks for by the toggles alone: the paste chord asks for entry
// 0, an engaged modifier + digit for that digit's entry, command + X notes a
// cut; everything else passes.
KeyDecision classifyKey(const KeyEvent& event, ModifierToggles toggles);

// classifyKey() narrowed to what the engine can do: a paste chord that would
// not change the clipboard, or an index beyond the history, passes.
KeyDecision decideKey(const KeyEvent& event, ModifierToggles toggles, PasteAbility ability);

// The paste chord delivered in place of event: a V key-down with
// pasteChordFlags() of the flags held.
KeyEvent makePasteKeyEvent(const KeyEvent& event);

}  // namespace tarnwick
