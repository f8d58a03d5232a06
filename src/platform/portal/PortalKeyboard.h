// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

namespace tarnwick::portal {

// A keyboard lent by the desktop's RemoteDesktop portal. The user consents
// once: the restore token of each start is kept (in memory, and in
// $XDG_STATE_HOME/tarnwick/ for the next run), and with it the portal lets
// Tarnwick in again without asking.
class RemoteKeyboard {
public:
    virtual ~RemoteKeyboard() = default;

    // Asks the portal for the keyboard; usable runs on the main thread each
    // time the keyboard becomes usable (true) or turns out to be missing, is
    // refused or is taken back (false).
    static std::unique_ptr<RemoteKeyboard> open(std::function<void(bool)> usable);

    virtual bool usable() const = 0;
    // Presses and releases Ctrl + the key that types letter ('x', 'c', 'v')
    // in the user's layout.
    virtual void typeControlChord(char letter) = 0;
};

}  // namespace tarnwick::portal
