// SPDX-License-Identifier: MIT
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace tarnwick {

// SIGTERM, SIGINT and SIGHUP, while this object lives, call quit on the main
// thread, so the program ends as its Quit item ends it. The handler only
// writes a byte to a socket pair the main thread watches: nothing else is
// safe in a signal handler. One object at a time. POSIX and Qt only, so it
// serves macOS as well as Linux.
class EndingSignals {
public:
    explicit EndingSignals(std::function<void()> quit);
    ~EndingSignals();
    EndingSignals(const EndingSignals&) = delete;
    EndingSignals& operator=(const EndingSignals&) = delete;

private:
    int pair_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tarnwick
