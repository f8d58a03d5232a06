// SPDX-License-Identifier: MIT
#include "ui/ExpandButtonPainter.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <array>

namespace tarnwick {

namespace {

// The arrow is laid out with y running up from the bottom edge, as the macOS
// drawing coordinates of the button do; y(v) turns that into Qt's y-down, so
// v = 2 is near the bottom edge on screen and v = h - 2 near the top.
std::array<QLineF, 3> arrowLines(double w, double h, bool expanded) {
    const auto y = [h](double v) { return h - v; };
    const double x = w / 2;
    const QLineF shaft(x, y(h - 2), x, y(2));
    // Expanded: head at v = 2, the bottom, pointing down; collapsed: head at
    // v = h - 2, the top, pointing up.
    const double tip = expanded ? 2 : h - 2;
    const double wing = expanded ? 5 : h - 5;
    return {shaft, QLineF(x, y(tip), x - 3, y(wing)), QLineF(x, y(tip), x + 3, y(wing))};
}

}  // namespace

void paintExpandButton(QPainter& painter, const QRectF& bounds, bool expanded, bool highlighted) {
    if (!painter.isActive()) return;
    painter.save();
    painter.translate(bounds.topLeft());
    const QRectF local(0, 0, bounds.width(), bounds.height());
    painter.fillRect(local, Qt::white);
    const double alpha = highlighted ? 1.0 : 0.6;
    painter.fillRect(
        local, expanded ? QColor::fromRgbF(1, 0, 0, alpha) : QColor::fromRgbF(0, 1, 0, alpha));
    // Core Graphics' defaults: one point wide, butt ends, antialiased.
    QPen pen(Qt::black, 1.0);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto lines = arrowLines(bounds.width(), bounds.height(), expanded);
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    painter.restore();
}

}  // namespace tarnwick
