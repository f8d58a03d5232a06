// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>

namespace tarnwick {

// The one hand-off from other threads onto the main thread.
class MainThread {
public:
    virtual ~MainThread() = default;

    // Runs task on the main thread as soon as it is free. Callable from any thread.
    virtual void post(std::function<void()> task) = 0;
    // Runs task on the main thread after delay. Called on the main thread.
    virtual void postAfter(std::chrono::milliseconds delay, std::function<void()> task) = 0;
};

}  // namespace tarnwick
