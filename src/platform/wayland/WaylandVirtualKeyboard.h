// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

struct zwp_virtual_keyboard_v1;

namespace tarnwick::wayland {

class Connection;

// A keyboard of our own on our own connection, with a keymap of our own in
// which the keys of the chords exist whatever the user's layout: Ctrl + X, C
// or V, as evdev codes. Main thread.
class VirtualKeyboard {
public:
    // None where the compositor lends no virtual keyboard, or where
    // TARNWICK_NO_VIRTUAL_KEYBOARD is set (a compositor whose virtual
    // keyboard misbehaves: the portal's keyboard, or the user's hand, pastes).
    explicit VirtualKeyboard(Connection& connection);
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

    bool exists() const { return keyboard_ != nullptr; }
    // Presses and releases Ctrl + letter ('x', 'c' or 'v'); sent on the
    // connection of the clipboard writes, so the compositor has the new
    // selection before the chord.
    void typeControlChord(char letter);

private:
    Connection& connection_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::uint32_t controlMask_ = 0;
};

// The virtual keyboard on chosenConnection(), made when first asked for.
VirtualKeyboard& keyboard();

}  // namespace tarnwick::wayland
