// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick::x11 {

// Passes a CLIPBOARD owner change seen on another X connection (a window, or
// none) to the program's pasteboard, if one exists. Any thread.
void noteClipboardOwner(unsigned long owner);

}  // namespace tarnwick::x11
