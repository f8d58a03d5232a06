#pragma once

#include <QString>

#include "ui/Metrics.h"

namespace tarnwick {

// The modifier keys' tool tip as rich text: Qt wraps a rich tool tip at a
// readable width, where plain text stays one line as long as the sentence.
inline QString modifierToolTip() {
    return QStringLiteral("<p>%1</p>").arg(QString::fromUtf8(toolTipTxt).toHtmlEscaped());
}

}  // namespace tarnwick
