// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

class QPalette;

// Colours chosen for legibility whatever the palette: a dark theme's text
// colour on the pinned orange, or its Mid beside its Base, is hard to see.
namespace tarnwick::contrast {

// The contrast ratio of two colours, 1 to 21, as WCAG measures it.
double ratio(const QColor& a, const QColor& b);

// Black or white, whichever reads better on background.
QColor textOn(const QColor& background);

// The line between rows: the palette's Mid when it stands out from Base by
// 3:1, else Base moved towards Text until it does.
QColor divider(const QPalette& palette);

}  // namespace tarnwick::contrast
