// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

namespace tarnwick {

class Pasteboard;
// The general clipboard of this platform. Main thread, after start-up.
std::unique_ptr<Pasteboard> makePasteboard();

// Titles of the three modifier toggles, in the keys the user presses on this
// platform: fn, control, command on macOS; alt, super, ctrl on X11 (same roles).
struct ModifierTitles {
    const char* fn;
    const char* control;
    const char* command;
};
ModifierTitles modifierTitles();

// Runs before the application object exists, and chooses the backend. On
// Linux, in a Wayland session whose compositor offers data-control, the
// Wayland backend (Qt's window on Wayland, XWayland as a fallback); otherwise
// X11: Qt uses its X11 backend whatever QT_QPA_PLATFORM says, also in a
// Wayland session (through XWayland); without a reachable X display it
// selects Qt's offscreen platform, so that start-up can report the missing
// key tap in its own words instead of Qt aborting.
void prepareApplication();

// The display session this process runs in, as prepareApplication() found it:
// one instance of the program runs per user and session. Empty without a
// display (nothing to share then).
QString displaySession();

// Platform-specific start-up once the application object exists (macOS: the
// regular activation policy; X11: losing the X server ends the program once,
// from the main thread; in a Wayland session it says once on standard output
// which backend was chosen and what that means for the hot keys and the
// clipboard).
void finishApplicationStartup();

// Makes this application the active one, so that the window it has just shown
// and activated takes the keyboard (macOS activates applications as a whole;
// on X11 activating the window is enough, and this does nothing).
void bringApplicationForward();

}  // namespace tarnwick
