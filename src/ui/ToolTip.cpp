// SPDX-License-Identifier: MIT
#include "ui/ToolTip.h"

#include <QStringList>

#include "ui/Metrics.h"

namespace tarnwick {

namespace {
constexpr qsizetype readableLine = 60;  // characters
}  // namespace

QString modifierToolTip() {
    QString wrapped;
    qsizetype line = 0;
    for (const QString& word : QString::fromUtf8(toolTipTxt).split(QLatin1Char(' '))) {
        if (line > 0) {
            const bool fits = line + 1 + word.size() <= readableLine;
            wrapped += fits ? QLatin1Char(' ') : QLatin1Char('\n');
            line = fits ? line + 1 : 0;
        }
        wrapped += word;
        line += word.size();
    }
    return wrapped;
}

}  // namespace tarnwick
