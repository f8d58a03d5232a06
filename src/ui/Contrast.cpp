// SPDX-License-Identifier: MIT
#include "ui/Contrast.h"

#include <QPalette>
#include <algorithm>
#include <cmath>

namespace tarnwick::contrast {

namespace {

double channel(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Lines and borders need 3:1; text needs 4.5:1.
constexpr double visibleLine = 3.0;

}  // namespace

double ratio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textOn(const QColor& background) {
    return ratio(Qt::black, background) >= ratio(Qt::white, background) ? QColor(Qt::black)
                                                                        : QColor(Qt::white);
}

QColor divider(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor mid = palette.color(QPalette::Mid);
    if (ratio(mid, base) >= visibleLine) return mid;
    const QColor text = palette.color(QPalette::Text);
    for (int step = 1; step <= 10; ++step) {
        const double t = step / 10.0;
        const QColor mixed = QColor::fromRgbF(
            static_cast<float>(base.redF() + t * (text.redF() - base.redF())),
            static_cast<float>(base.greenF() + t * (text.greenF() - base.greenF())),
            static_cast<float>(base.blueF() + t * (text.blueF() - base.blueF())));
        if (ratio(mixed, base) >= visibleLine) return mixed;
    }
    return text;
}

}  // namespace tarnwick::contrast
