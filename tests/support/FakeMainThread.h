#pragma once

#include <deque>
#include <map>
#include <mutex>

#include "platform/MainThread.h"

namespace tarnwick::test {

// A main-thread queue that the test drains itself, with a manual clock for
// delayed tasks.
class FakeMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        delayed_.emplace(now_ + delay, std::move(task));
    }

    // Runs every queued task (and those they queue); returns how many ran.
    int runPending() {
        int ran = 0;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) return ran;
                task = std::move(queue_.front());
                queue_.pop_front();
            }
            task();
            ++ran;
        }
    }

    // Moves the clock on, running the delayed tasks that fall due, in order.
    void advance(std::chrono::milliseconds by) {
        const auto until = now_ + by;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                auto next = delayed_.begin();
                if (next == delayed_.end() || next->first > until) break;
                now_ = next->first;
                task = std::move(next->second);
                delayed_.erase(next);
            }
            task();
        }
        now_ = until;
    }

    std::size_t delayedCount() const {
        std::lock_guard lock(mutex_);
        return delayed_.size();
    }

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    std::multimap<std::chrono::milliseconds, std::function<void()>> delayed_;
    std::chrono::milliseconds now_{0};
};

}  // namespace tarnwick::test
