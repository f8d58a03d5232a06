#include "ui/RowOrder.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

namespace tarnwick::rows {

namespace {

SlotOrder identity(std::size_t count) {
    SlotOrder order(count);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// Whether the row now in position holds a pinned row; filler rows never are.
bool pinnedAt(const SlotOrder& order, const std::vector<bool>& pinnedBySlot, int position) {
    const int old = order[static_cast<std::size_t>(position)];
    return old != filler && pinnedBySlot[static_cast<std::size_t>(old)];
}

void swapSlots(SlotOrder& order, int a, int b) {
    std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]);
}

// Delete's walk: each run of pinned rows older than the deleted one moves one
// slot down, and the first unpinned row below the run jumps over it.
void walkPinnedDown(SlotOrder& order, const std::vector<bool>& pinnedBySlot, int start) {
    int t = start;
    while (t >= 1) {
        if (!pinnedAt(order, pinnedBySlot, t)) {
            --t;
            continue;
        }
        int swaps = 0;
        for (int m = 0;; ++m) {
            swapSlots(order, t, t - 1 - m);
            ++swaps;
            if (t - 2 - m < 0 || !pinnedAt(order, pinnedBySlot, t)) break;
        }
        t -= 1 + swaps;
    }
}

}  // namespace

SlotOrder afterAdd(const std::vector<bool>& pinnedBySlot) {
    const int count = static_cast<int>(pinnedBySlot.size());
    SlotOrder order = identity(pinnedBySlot.size());
    // The row pass of addTextField(text:): every row went up one row number
    // when the new one was put on top; a pinned run swaps the unpinned row just
    // above it down to its bottom, which gives each pinned row its number back.
    for (int s = 0; s < count;) {
        int step = 1;
        if (pinnedAt(order, pinnedBySlot, s)) {
            int d = 1;
            do {
                swapSlots(order, s, s + d);
                ++d;
            } while (s + d < count && pinnedAt(order, pinnedBySlot, s));
            step = d;
        }
        s += step;
    }
    return order;
}

SlotOrder afterMove(const std::vector<bool>& pinnedBySlot, int fromRow, int toRow) {
    const int count = static_cast<int>(pinnedBySlot.size());
    SlotOrder order = identity(pinnedBySlot.size());
    if (fromRow < 1 || fromRow > count) return order;
    const int from = slotOfRow(fromRow, count);
    const int to = slotOfRow(clampRowNumber(toRow, count), count);
    // A pinned row is never displaced by another row's move.
    if (from != to && pinnedBySlot[static_cast<std::size_t>(to)]) return order;

    order.erase(order.begin() + from);
    order.insert(order.begin() + to, from);
    // The rows between the two places shifted one slot towards from; each
    // pinned one is swapped back into its own slot, oldest first.
    const int first = std::min(from, to) + (to > from ? 1 : 0);
    const int last = std::max(from, to) - (to < from ? 1 : 0);
    for (int old = first; old <= last; ++old) {
        if (!pinnedBySlot[static_cast<std::size_t>(old)]) continue;
        const auto now = std::find(order.begin(), order.end(), old) - order.begin();
        swapSlots(order, static_cast<int>(now), old);
    }
    return order;
}

SlotOrder afterDelete(const std::vector<bool>& pinnedBySlot, int slot) {
    const int count = static_cast<int>(pinnedBySlot.size());
    SlotOrder order = identity(pinnedBySlot.size());
    if (slot < 0 || slot >= count) return order;
    // Taken before the removal: the bottom row keeps its number only if an
    // empty row takes the place that the rows above it leave.
    const bool bottomPinned = count >= 2 && pinnedBySlot[0];
    order.erase(order.begin() + slot);
    int below = slot - 1;
    if (bottomPinned && slot != 0) {
        order.insert(order.begin(), filler);
        below = slot;
    }
    walkPinnedDown(order, pinnedBySlot, below);
    return order;
}

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

OrderCommit decideOrderCommit(const QString& typed, const std::vector<bool>& pinnedBySlot,
                              int ownRow) {
    using Kind = OrderCommit::Kind;
    const auto number = parseRowNumber(typed);
    if (!number) return {Kind::rejected};
    const int count = static_cast<int>(pinnedBySlot.size());
    if (ownRow < 1 || ownRow > count) return {Kind::unchanged};
    const int target = clampRowNumber(*number, count);
    if (pinnedBySlot[static_cast<std::size_t>(slotOfRow(target, count))])
        return {target == ownRow ? Kind::unchanged : Kind::rejected};
    return {Kind::move, ownRow, target};
}

}  // namespace tarnwick::rows
