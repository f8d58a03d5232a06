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
    // Asked for on every paint of a row: stops at the first line feed.
    for (qsizetype i = text.indexOf(QLatin1Char('\n')); i >= 0;
         i = text.indexOf(QLatin1Char('\n'), i + 1)) {
        if (i == 0 || text[i - 1] != QLatin1Char('\r')) return true;
    }
    return false;
}

double expandedRowHeight(const QString& text) {
    return tfHt + labelHt * countLineFeeds(text);
}

}  // namespace tarnwick::rows
