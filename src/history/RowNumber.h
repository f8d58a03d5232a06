// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Typed row numbers, independent of any widget.
namespace tarnwick::rows {

// A typed row number: an optional sign and decimal digits only, within the
// range of a signed 64-bit integer; anything else is none.
std::optional<std::int64_t> parseRowNumber(const QString& text);

// 0 and negative numbers mean row 1, numbers beyond the last row the last row.
// With no rows at all the result is 0.
int clampRowNumber(std::int64_t typed, int rowCount);

// Whether an index field showing text gets a pin item when its menu is built:
// a number of at most 10, 0 and negative numbers included.
bool offersPinItem(const QString& text);

}  // namespace tarnwick::rows
