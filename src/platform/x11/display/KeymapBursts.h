// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick::x11 {

// Qt's xcb backend rebuilds its keymap on the main thread (about 1.4 ms) for
// every keyboard-mapping notice on its connection, so a program that changes
// the mapping 20,000 times in a row would keep windows and hot keys waiting
// for half a minute. From here on the first notice of a burst still reaches
// Qt at once, the rest are held back while they keep coming, and once the
// burst has been quiet for a moment Qt gets one more notice, so text input
// follows the final layout. Call on the main thread, once the application
// object exists; without an X11 connection it does nothing.
void coalesceKeymapBursts();

}  // namespace tarnwick::x11
