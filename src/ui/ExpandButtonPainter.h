// SPDX-License-Identifier: MIT
#pragma once

class QPainter;
class QRectF;

namespace tarnwick {

// Draws MyExpandButton into bounds: a pale green (collapsed) or pale red
// (expanded) square, fully opaque while highlighted (the mouse is down on it),
// with a black arrow along its vertical middle. On screen the arrow points up
// while the row is collapsed and down while it is expanded.
void paintExpandButton(QPainter& painter, const QRectF& bounds, bool expanded, bool highlighted);

}  // namespace tarnwick
