// SPDX-License-Identifier: MIT
#include "hotkeys/KeyRules.h"

#include "platform/TapRouting.h"

namespace tarnwick {

namespace {

bool held(const KeyEvent& event, std::uint64_t mask) {
    return (event.flags & mask) != 0;
}

}  // namespace

int digitIndex(int keyCode) {
    for (int index = 0; index < static_cast<int>(keycode::digits.size()); ++index) {
        if (keycode::digits[static_cast<std::size_t>(index)] == keyCode) return index;
    }
    return -1;
}

KeyDecision classifyKey(const KeyEvent& event, ModifierToggles toggles) {
    const bool command = held(event, eventflag::command);
    const bool control = held(event, eventflag::control);
    const bool fn = held(event, eventflag::secondaryFn);
    if (!command && !control && !fn) return {};
    if (command && event.keyCode == keycode::V) {
        return {KeyDecision::Action::paste, 0, true};
    }
    const bool engaged =
        (fn && toggles.fn) || (command && toggles.command) || (control && toggles.control);
    const int index = digitIndex(event.keyCode);
    if (engaged && index >= 0) return {KeyDecision::Action::paste, index, false};
    if (command && event.keyCode == keycode::X) return {KeyDecision::Action::noteCut};
    return {};
}

KeyDecision decideKey(const KeyEvent& event, ModifierToggles toggles, PasteAbility ability) {
    const KeyDecision wanted = classifyKey(event, toggles);
    if (wanted.action != KeyDecision::Action::paste) return wanted;
    if (wanted.index >= ability.historyLength) return {};
    // A plain paste of what the clipboard already holds needs no rewrite, and
    // skipping it keeps images, files and formatted text intact.
    if (wanted.plainPaste && !ability.plainPasteNeedsRewrite) return {};
    return wanted;
}

KeyEvent makePasteKeyEvent(const KeyEvent& event) {
    return {KeyEvent::Type::keyDown, keycode::V, pasteChordFlags(event.flags)};
}

}  // namespace tarnwick
