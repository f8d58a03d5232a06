// SPDX-License-Identifier: MIT
#include "history/RowNumber.h"

#include <algorithm>
#include <limits>

namespace tarnwick::rows {

std::optional<std::int64_t> parseRowNumber(const QString& text) {
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == QLatin1Char('-');
    if (!text.isEmpty() && (negative || text[0] == QLatin1Char('+'))) i = 1;
    if (i == text.size()) return std::nullopt;
    // Accumulated towards the sign, so that the most negative value fits.
    constexpr std::int64_t low = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        const int digit = c - u'0';
        if (negative) {
            if (value < (low + digit) / 10) return std::nullopt;
            value = value * 10 - digit;
        } else {
            if (value > (high - digit) / 10) return std::nullopt;
            value = value * 10 + digit;
        }
    }
    return value;
}

int clampRowNumber(std::int64_t typed, int rowCount) {
    if (rowCount < 1) return 0;
    return static_cast<int>(std::clamp<std::int64_t>(typed, 1, rowCount));
}

bool offersPinItem(const QString& text) {
    const auto number = parseRowNumber(text);
    return number && *number <= 10;
}

}  // namespace tarnwick::rows
