// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MainThread.h"

namespace tarnwick {

// Hands work to the Qt main event loop.
class QtMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override;
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override;
};

}  // namespace tarnwick
