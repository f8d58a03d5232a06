#pragma once

// Where rows sit in the document view's subview list: pairs of copied field
// then index field, slot 0 (the bottom row, the highest row number) first.
namespace tarnwick::rowmodel {

// The history index shown by the view at position of a list of count views;
// both fields of a row give the same index.
constexpr int historyIndex(int count, int position) {
    return (count - 1 - position) / 2;
}

// The row number (1 = top) of the view at position.
constexpr int rowNumber(int count, int position) {
    return historyIndex(count, position) + 1;
}

// Positions of the two fields of the row numbered row (1-based).
constexpr int copiedPosition(int count, int row) {
    return count - 2 * row;
}
constexpr int indexPosition(int count, int row) {
    return count - 2 * row + 1;
}

// The slot of the view at position, and the row number of a slot.
constexpr int slotOf(int position) {
    return position / 2;
}
constexpr int rowNumberOfSlot(int rows, int slot) {
    return rows - slot;
}

}  // namespace tarnwick::rowmodel
