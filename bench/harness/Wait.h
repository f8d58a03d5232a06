// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace tarnwick::e2e {

using namespace std::chrono_literals;

// Polls predicate until it holds or timeout passes; true when it held. Between
// polls it runs betweenPolls (by default a 10 ms sleep; an in-process test
// passes a function that runs the Qt event loop instead). The predicate is
// checked once more at the deadline, so a slow last poll still counts.
inline bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout,
                      const std::function<void()>& betweenPolls = {}) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (predicate()) return true;
        if (betweenPolls) {
            betweenPolls();
        } else {
            std::this_thread::sleep_for(10ms);
        }
    }
    return predicate();
}

}  // namespace tarnwick::e2e
