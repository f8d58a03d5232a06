#pragma once

#include <functional>
#include <memory>

#include "platform/KeyEvent.h"

namespace tarnwick {

// A system-wide filter of key-down and modifier-change events. The callback
// returns the event to deliver: the one it got, or a replacement.
class KeyTap {
public:
    using Callback = std::function<KeyEvent(const KeyEvent&)>;

    virtual ~KeyTap() = default;

    // Installs the tap; false when the system refuses one (no rights, no
    // display, no XTEST).
    virtual bool create(Callback callback) = 0;
    virtual void enable() = 0;
    virtual bool isEnabled() const = 0;
};

// The tap of the platform this program was built for.
std::unique_ptr<KeyTap> makeKeyTap();

}  // namespace tarnwick
