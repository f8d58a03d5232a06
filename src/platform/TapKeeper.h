// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

namespace tarnwick {

// Keeps a key tap that needs the user's permission (macOS: Accessibility)
// without ever fighting the system. It waits for the permission instead of
// failing, installs the tap once it is given, switches a tap the system
// switched off back on only while the permission lasts, pausing longer each
// time that repeats (re-enabling an untrusted or failing tap in a loop can
// stall the whole keyboard), and goes back to waiting when the permission is
// taken away. The tap asks once a second and on each switch-off, passing the
// time in; nothing here waits or calls the system.
class TapKeeper {
public:
    using Time = std::chrono::steady_clock::duration;  // since any fixed start

    enum class Step { none, install, reenable, remove };
    enum class Notice { none, waitingForPermission, secureInput, cannotInstall };

    // Once a second: whether the permission is given and whether another
    // program holds secure input (which hides every key from taps).
    Step tick(bool trusted, bool secureInput, Time now);
    // The system switched the installed tap off (timeout or user input).
    Step switchedOff(bool trusted, Time now);
    // What came of Step::install: a refusal although trusted is final.
    void installed(bool ok);

    // What the user should be told now.
    Notice notice() const;
    bool waiting() const { return state_ == State::waiting; }

private:
    enum class State { waiting, running, failed };

    Step reenable(Time now);
    Step lose();

    State state_ = State::waiting;
    bool secureInput_ = false;
    bool reenableDue_ = false;
    Time dueAt_{};
    bool reenabledBefore_ = false;
    Time lastReenable_{};
    Time pause_{};
};

}  // namespace tarnwick
