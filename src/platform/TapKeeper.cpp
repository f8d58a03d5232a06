// SPDX-License-Identifier: MIT
#include "platform/TapKeeper.h"

#include <algorithm>

namespace tarnwick {

namespace {

using namespace std::chrono_literals;

// A switch-off this soon after the last re-enable counts as a repeat.
constexpr TapKeeper::Time repeatWindow = 30s;
constexpr TapKeeper::Time firstPause = 1s;
constexpr TapKeeper::Time longestPause = 32s;

}  // namespace

TapKeeper::Step TapKeeper::tick(bool trusted, bool secureInput, Time now) {
    secureInput_ = secureInput;
    switch (state_) {
        case State::failed:
            return Step::none;
        case State::waiting:
            return trusted ? Step::install : Step::none;
        case State::running:
            break;
    }
    if (!trusted) return lose();
    if (reenableDue_ && now >= dueAt_) return reenable(now);
    return Step::none;
}

TapKeeper::Step TapKeeper::switchedOff(bool trusted, Time now) {
    if (state_ != State::running) return Step::none;
    if (!trusted) return lose();
    const bool repeat = reenabledBefore_ && now - lastReenable_ < repeatWindow;
    pause_ = repeat ? std::clamp(pause_ * 2, firstPause, longestPause) : Time{};
    if (pause_ == Time{}) return reenable(now);
    reenableDue_ = true;
    dueAt_ = now + pause_;
    return Step::none;
}

void TapKeeper::installed(bool ok) {
    state_ = ok ? State::running : State::failed;
    reenableDue_ = false;
    reenabledBefore_ = false;
    pause_ = {};
}

TapKeeper::Notice TapKeeper::notice() const {
    switch (state_) {
        case State::failed:
            return Notice::cannotInstall;
        case State::waiting:
            return Notice::waitingForPermission;
        case State::running:
            break;
    }
    return secureInput_ ? Notice::secureInput : Notice::none;
}

TapKeeper::Step TapKeeper::reenable(Time now) {
    reenableDue_ = false;
    reenabledBefore_ = true;
    lastReenable_ = now;
    return Step::reenable;
}

TapKeeper::Step TapKeeper::lose() {
    state_ = State::waiting;
    reenableDue_ = false;
    return Step::remove;
}

}  // namespace tarnwick
