// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

namespace tarnwick {
class KeySender;
class KeyTap;
class Pasteboard;
}  // namespace tarnwick

namespace tarnwick::wayland {

// The Wayland services, over chosenConnection(); main thread, after start-up.
std::unique_ptr<Pasteboard> makePasteboard();
std::unique_ptr<KeySender> makeKeySender();
std::unique_ptr<KeyTap> makeKeyTap();
// The compositor took our virtual keyboard, so pastes type their own chord.
bool hasVirtualKeyboard();

}  // namespace tarnwick::wayland
