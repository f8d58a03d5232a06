// SPDX-License-Identifier: MIT
#pragma once

namespace tarnwick {

// Layout constants, in points (one point is one device-independent pixel).
inline constexpr double minWindowSize = 200;
inline constexpr double tfHt = 21;  // one collapsed history row
inline constexpr double labelHt = 16;
inline constexpr double gapAroundScrollView = 5;
inline constexpr double gapAroundCopiedText = 3;
// A row's first line starts this far from its field's left and top edges,
// shown or edited alike.
inline constexpr int textInset = 3;

inline constexpr const char* toolTipTxt =
    "Press one of these modifier keys + a number key to paste the Nth most recent text that has "
    "been copied. 1 for most recent (same as normal paste) thru 0 for 10th most recent.";

}  // namespace tarnwick
