#include "ui/RowOrder.h"

#include <numeric>

namespace tarnwick::rows {

namespace {

SlotOrder identity(std::size_t count) {
    SlotOrder order(count);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

}  // namespace

// Placeholders until the row rules land: nothing moves.
SlotOrder afterAdd(const std::vector<bool>& pinnedBySlot) { return identity(pinnedBySlot.size()); }

SlotOrder afterMove(const std::vector<bool>& pinnedBySlot, int, int) {
    return identity(pinnedBySlot.size());
}

SlotOrder afterDelete(const std::vector<bool>& pinnedBySlot, int slot) {
    SlotOrder order = identity(pinnedBySlot.size());
    order.erase(order.begin() + slot);
    return order;
}

std::optional<std::int64_t> parseRowNumber(const QString&) { return std::nullopt; }

}  // namespace tarnwick::rows
