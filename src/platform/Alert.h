// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick {

// The system alert sound that answers a rejected input.
class Alert {
public:
    virtual ~Alert() = default;
    virtual void beep() = 0;
};

}  // namespace tarnwick
