// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tarnwick {

// One value shared between threads. Every read and change is serialised; a
// waiter blocks on a condition variable instead of spinning, so the engine's
// waits cost no CPU.
template <typename T>
class Atomic {
public:
    explicit Atomic(T initial) : _value(std::move(initial)) {}
    Atomic(const Atomic&) = delete;
    Atomic& operator=(const Atomic&) = delete;

    T value() const {
        std::lock_guard lock(mutex);
        return _value;
    }

    // Changes the value in place. change must not call back into this cell.
    template <typename F>
    void mutate(F&& change) {
        {
            std::lock_guard lock(mutex);
            change(_value);
        }
        changed.notify_all();
    }

    // Blocks until the value equals wanted.
    void waitFor(const T& wanted) const {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return _value == wanted; });
    }

    // Blocks until the value equals wanted or timeout passes; true when it does.
    template <typename Rep, typename Period>
    bool waitFor(const T& wanted, std::chrono::duration<Rep, Period> timeout) const {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return _value == wanted; });
    }

private:
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    T _value;
};

}  // namespace tarnwick
