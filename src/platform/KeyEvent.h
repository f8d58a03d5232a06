// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

namespace tarnwick {

// Key events in the vocabulary of the macOS virtual key codes and event flags;
// each platform backend translates to and from its own. The letter codes mean
// the letters, not the ANSI places: a backend maps them to the keys that type
// them in the current layout. Digits are places.
namespace keycode {
inline constexpr int none = -1;  // a key that means nothing to the filter
inline constexpr int A = 0;
inline constexpr int Z = 6;
inline constexpr int X = 7;
inline constexpr int C = 8;
inline constexpr int V = 9;
// The digits 1, 2, ..., 9, 0 on the ANSI layout, in history-index order.
inline constexpr std::array<int, 10> digits{18, 19, 20, 21, 23, 22, 26, 28, 25, 29};
}  // namespace keycode

namespace eventflag {
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;  // the Super key on X11
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;      // Ctrl on X11
inline constexpr std::uint64_t secondaryFn = 0x800000;  // Alt on X11
// Which physical key holds a modifier (macOS only; X11 ignores them).
inline constexpr std::uint64_t leftControlKey = 0x1;
inline constexpr std::uint64_t leftCommandKey = 0x8;
inline constexpr std::uint64_t rightControlKey = 0x2000;
}  // namespace eventflag

struct KeyEvent {
    enum class Type { keyDown = 10, flagsChanged = 12 };

    Type type = Type::keyDown;
    int keyCode = 0;
    std::uint64_t flags = 0;

    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

}  // namespace tarnwick
