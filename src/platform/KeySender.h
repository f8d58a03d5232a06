// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick {

// Posts synthetic key strokes that pass through the key-event tap like typed ones.
class KeySender {
public:
    virtual ~KeySender() = default;

    // Posts a key-down of keyCode (keycode::X, C or V) with the command-role modifier.
    virtual void postCommandKey(int keyCode) = 0;
};

}  // namespace tarnwick

#include <memory>

namespace tarnwick {

// The sender of the platform this program was built for.
std::unique_ptr<KeySender> makeKeySender();

}  // namespace tarnwick
