// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>

class QWidget;

namespace tarnwick {

// Puts the window, its frame (title bar and borders) included, at the top
// right of the primary screen's available area, shrunk to fit: at once as if
// it had no frame, and once more when a window manager has framed it.
void placeAtTopRight(QWidget* window, QSize wanted);

}  // namespace tarnwick
