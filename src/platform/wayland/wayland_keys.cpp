// SPDX-License-Identifier: MIT
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "platform/KeyTap.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_platform.h"
#include "virtual-keyboard-unstable-v1-client.h"

namespace tarnwick::wayland {

namespace {

// A keyboard of our own, with a keymap of our own in which the keys of the
// chords exist whatever the user's layout: Ctrl + X, C or V, as evdev codes.
class VirtualKeyboard {
public:
    explicit VirtualKeyboard(Connection& connection) : connection_(connection) {
        if (connection.virtualKeyboards() == nullptr) return;
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (context == nullptr) return;
        const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
        xkb_keymap* keymap =
            xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = keymap != nullptr ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1)
                                       : nullptr;
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

    bool exists() const { return keyboard_ != nullptr; }

    // Presses and releases Ctrl + key.
    void typeControlChord(std::uint32_t key) {
        if (keyboard_ == nullptr) return;
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

private:
    Connection& connection_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    std::uint32_t controlMask_ = 0;
};

VirtualKeyboard& keyboard() {
    static VirtualKeyboard shared(*chosenConnection());
    return shared;
}

std::uint32_t evdevKey(int keyCode) {
    switch (keyCode) {
        case keycode::X:
            return KEY_X;
        case keycode::C:
            return KEY_C;
        default:
            return KEY_V;
    }
}

class WaylandKeySender final : public KeySender {
public:
    void postCommandKey(int keyCode) override { keyboard().typeControlChord(evdevKey(keyCode)); }
};

// No keyboard-wide tap exists on Wayland: the desktop's own shortcuts run
// tarnwick --paste N, which arrives here through the running copy.
class WaylandKeyTap final : public KeyTap {
public:
    bool create(std::unique_ptr<KeyFilter> filter) override {
        filter_ = std::move(filter);
        return true;
    }
    void enable() override {}
    bool isEnabled() const override { return filter_ != nullptr; }
    std::string failureMessage() const override { return {}; }

    bool pasteEntry(int index) override {
        if (!filter_ || !filter_->carryOutPaste({KeyDecision::Action::paste, index, false})) {
            return false;
        }
        // Without a virtual keyboard the entry waits on the clipboard for the
        // paste key pressed by hand (the start-up line said so).
        keyboard().typeControlChord(KEY_V);
        return true;
    }

private:
    std::unique_ptr<KeyFilter> filter_;
};

}  // namespace

bool hasVirtualKeyboard() {
    return keyboard().exists();
}

std::unique_ptr<KeySender> makeKeySender() {
    return std::make_unique<WaylandKeySender>();
}

std::unique_ptr<KeyTap> makeKeyTap() {
    return std::make_unique<WaylandKeyTap>();
}

}  // namespace tarnwick::wayland
