// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandVirtualKeyboard.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <QtGlobal>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/wayland/WaylandConnection.h"
#include "virtual-keyboard-unstable-v1-client.h"

namespace tarnwick::wayland {

namespace {

std::uint32_t evdevKey(char letter) {
    switch (letter) {
        case 'x':
            return KEY_X;
        case 'c':
            return KEY_C;
        default:
            return KEY_V;
    }
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(Connection& connection) : connection_(connection) {
    if (connection.virtualKeyboards() == nullptr ||
        !qEnvironmentVariableIsEmpty("TARNWICK_NO_VIRTUAL_KEYBOARD")) {
        return;
    }
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (context == nullptr) return;
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    char* text =
        keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    const int fd = memfd_create("tarnwick-keymap", MFD_CLOEXEC);
    if (text != nullptr && fd >= 0) {
        const std::size_t size = std::strlen(text) + 1;
        if (write(fd, text, size) == static_cast<ssize_t>(size)) {
            controlMask_ = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
            keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
                connection.virtualKeyboards(), connection.seat());
            zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                           static_cast<std::uint32_t>(size));
            connection.flush();
        }
    }
    if (fd >= 0) close(fd);
    std::free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
}

void VirtualKeyboard::typeControlChord(char letter) {
    if (keyboard_ == nullptr) return;
    const std::uint32_t key = evdevKey(letter);
    const auto ms =
        static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
    zwp_virtual_keyboard_v1_key(keyboard_, ms, KEY_LEFTCTRL, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, controlMask_, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard_, ms, key, WL_KEYBOARD_KEY_STATE_PRESSED);
    zwp_virtual_keyboard_v1_key(keyboard_, ms, key, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_key(keyboard_, ms, KEY_LEFTCTRL, WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, 0, 0, 0, 0);
    connection_.flush();
}

VirtualKeyboard& keyboard() {
    static VirtualKeyboard shared(*chosenConnection());
    return shared;
}

}  // namespace tarnwick::wayland
