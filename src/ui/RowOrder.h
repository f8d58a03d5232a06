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

// 0 and negative numbers mean row 1, numbers beyond the last row the last row.
// With no rows at all the result is 0.
int clampRowNumber(std::int64_t typed, int rowCount);

// Whether an index field showing text gets a pin item when its menu is built:
// a number of at most 10, 0 and negative numbers included.
bool offersPinItem(const QString& text);

// What committing a typed row number does. rejected: alert sound, nothing
// moves. unchanged: a pinned row given its own number; nothing moves and
// nothing sounds. move: the row moves from fromRow to toRow by afterMove (the
// two may be equal), and the history is rewritten from the rows.
struct OrderCommit {
    enum class Kind { rejected, unchanged, move };
    Kind kind = Kind::rejected;
    int fromRow = 0;
    int toRow = 0;

    // Entry 0 and the clipboard are rewritten, under the polling pause, exactly
    // when the newest place is the source or the target of a move.
    bool touchesNewest() const { return kind == Kind::move && (fromRow == 1 || toRow == 1); }
};

// Decides the commit of typed in the index field of the row numbered ownRow.
OrderCommit decideOrderCommit(const QString& typed, const std::vector<bool>& pinnedBySlot,
                              int ownRow);

// Conversions between a 1-based row number and a slot, for rowCount rows.
inline int slotOfRow(int row, int rowCount) {
    return rowCount - row;
}
inline int rowOfSlot(int slot, int rowCount) {
    return rowCount - slot;
}

}  // namespace tarnwick::rows
