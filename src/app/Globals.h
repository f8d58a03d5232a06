#pragma once

#include <atomic>

namespace tarnwick {

class BufferChecker;
class UserInterface;

// Layout constants, in points (one point is one device-independent pixel).
inline constexpr double minWindowSize = 200;
inline constexpr double tfHt = 21;  // one collapsed history row
inline constexpr double labelHt = 16;
inline constexpr double gapAroundScrollView = 5;
inline constexpr double gapAroundCopiedText = 3;

inline constexpr const char* toolTipTxt =
    "Press one of these modifier keys + a number key to paste the Nth most recent text that has "
    "been copied. 1 for most recent (same as normal paste) thru 0 for 10th most recent.";

// Set by the key filter on every command-role + X, cleared by the next edit of a
// history row. Atomic because the X11 filter decides on its own thread.
extern std::atomic<bool> cutActionJustMade;

// The one history engine and the one window controller, set at start-up.
extern BufferChecker* bufferChecker;
extern UserInterface* ui;

}  // namespace tarnwick
