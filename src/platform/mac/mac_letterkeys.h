// SPDX-License-Identifier: MIT
#pragma once

#include "platform/LetterKeys.h"

namespace tarnwick::mac {

// The letter keys of the current keyboard layout as last read; any thread.
LetterKeys currentLetterKeys();

// Main thread (Text Input Sources asserts it): reads the layout again and
// publishes it.
LetterKeys refreshLetterKeys();

// Main thread, once the application exists: reads the layout now and again
// whenever the user selects another input source.
void followKeyboardLayout();

}  // namespace tarnwick::mac
