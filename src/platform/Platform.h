#pragma once

#include <memory>

namespace tarnwick {

// Titles of the three modifier toggles, in the keys the user presses on this
// platform: fn, control, command on macOS; alt, super, ctrl on X11 (same roles).
struct ModifierTitles {
    const char* fn;
    const char* control;
    const char* command;
};
ModifierTitles modifierTitles();

// Whether QClipboard reports every change another application makes (X11
// does, through XFixes; on macOS only the pasteboard's change count tells).
bool clipboardReportsChanges();

// Runs before the application object exists. On X11 without a reachable
// display it selects Qt's offscreen platform, so that start-up can report the
// missing key tap in its own words instead of Qt aborting.
void prepareApplication();

// Platform-specific start-up once the application object exists (macOS: the
// regular activation policy; X11: losing the X server ends the program once,
// from the main thread).
void finishApplicationStartup();

class Pasteboard;
// The general clipboard of this platform. Main thread, after start-up.
std::unique_ptr<Pasteboard> makePasteboard();

}  // namespace tarnwick
