// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick::x11 {

// Losing the X server ends the program once, from the main thread, with a
// line on stderr and exit status 1. Xlib's own handler would call exit() on
// whichever thread noticed first, racing the other threads' connections (and
// Qt's) through the exit handlers. Also keeps a stray X error from ending the
// program. Call on the main thread, once the application object exists.
void endProgramWhenServerIsLost();

}  // namespace tarnwick::x11
