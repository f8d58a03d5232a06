// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Layout.h"

namespace tarnwick {

// The small square in the corner of a row with several lines; pressing it
// expands or collapses the row. Drawn by the document view (paintExpandButton),
// or above the field editor while its row is being edited; the document view
// routes presses in its square to it.
struct MyExpandButton {
    bool expanded = false;
    bool highlighted = false;           // the mouse is down on it
    layout::Frame frame{0, 0, 10, 10};  // in its field, bottom-left origin
};

}  // namespace tarnwick
