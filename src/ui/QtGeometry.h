// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QtGlobal>

#include "ui/Layout.h"

namespace tarnwick {

// The one conversion from the layout's bottom-left frames to widget geometry.
inline QRect toQRect(const layout::Frame& frame, double parentHeight) {
    const layout::Frame f = layout::flipY(frame, parentHeight);
    return QRect(qRound(f.x), qRound(f.y), qRound(f.width), qRound(f.height));
}

}  // namespace tarnwick
