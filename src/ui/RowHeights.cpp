// SPDX-License-Identifier: MIT
#include "ui/RowHeights.h"

#include "ui/Metrics.h"

namespace tarnwick::rows {

int countLineFeeds(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\n')) continue;
        if (i > 0 && text[i - 1] == QLatin1Char('\r')) continue;
        ++count;
    }
    return count;
}

bool hasExpandButton(const QString& text) {
    return countLineFeeds(text) > 0;
}

double expandedRowHeight(const QString& text) {
    return tfHt + labelHt * countLineFeeds(text);
}

}  // namespace tarnwick::rows
