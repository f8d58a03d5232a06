#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// How rows move when one arrives, moves or leaves, independent of any widget.
// Slots count from the bottom row (slot 0, the oldest, highest row number) up
// to the top row (the last slot, row number 1). A SlotOrder lists, for each new
// slot from the bottom, the old slot whose row it now holds; filler marks a new
// empty row.
namespace tarnwick::rows {

inline constexpr int filler = -1;
using SlotOrder = std::vector<int>;

// A new row has just been put on top (the last slot, never pinned); pinned
// rows get their previous row numbers back.
SlotOrder afterAdd(const std::vector<bool>& pinnedBySlot);

// The row numbered fromRow moves to row number toRow (both 1-based and within
// the rows; the target is not pinned unless it is the row itself). Pinned rows
// between the two keep their numbers.
SlotOrder afterMove(const std::vector<bool>& pinnedBySlot, int fromRow, int toRow);

// The row in slot is deleted. Pinned rows older than it keep their numbers;
// when the bottom row is pinned and is not the deleted one, an empty filler row
// takes the bottom slot and the row count stays the same.
SlotOrder afterDelete(const std::vector<bool>& pinnedBySlot, int slot);

// A typed row number: an optional sign and decimal digits only, within the
// range of a signed 64-bit integer; anything else is none.
std::optional<std::int64_t> parseRowNumber(const QString& text);

}  // namespace tarnwick::rows
