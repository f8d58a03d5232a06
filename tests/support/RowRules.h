#pragma once

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/RowOrder.h"

// The one reference of the row rules, for the unit, widget and fuzz tests: whole
// rows by row number (row 1 first), the rules as they read in words, where the
// window walks slot by slot. Row is any type with a bool member pinned.
namespace tarnwick::reference {

// The free places of next, from start on, go to movers in their order.
template <typename Row>
std::vector<Row> filled(std::vector<std::optional<Row>> next, std::size_t start,
                        const std::vector<Row>& movers) {
    auto mover = movers.begin();
    for (std::size_t i = start; i < next.size(); ++i)
        if (!next[i] && mover != movers.end()) next[i] = *mover++;
    std::vector<Row> rows;
    for (const auto& row : next) rows.push_back(row.value());
    return rows;
}

// A row arrives: pinned rows keep their numbers; the new row, then the
// unpinned rows in their order, take the other numbers from row 1 down.
template <typename Row>
std::vector<Row> added(const std::vector<Row>& rows, const Row& arriving) {
    std::vector<std::optional<Row>> next(rows.size() + 1);
    std::vector<Row> movers{arriving};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].pinned)
            next[i] = rows[i];
        else
            movers.push_back(rows[i]);
    }
    return filled(next, 0, movers);
}

// Row from goes to row to: rows outside the two stay, pinned rows between keep
// their numbers, the unpinned ones between fill the rest in their order.
template <typename Row>
std::vector<Row> moved(const std::vector<Row>& rows, int from, int to) {
    const auto a = static_cast<std::size_t>(from - 1), k = static_cast<std::size_t>(to - 1);
    std::vector<std::optional<Row>> next(rows.begin(), rows.end());
    std::vector<Row> movers;
    for (std::size_t i = std::min(a, k); i <= std::max(a, k); ++i) {
        if (i != a && !rows[i].pinned) movers.push_back(rows[i]);
        if (i == a || !rows[i].pinned) next[i].reset();
    }
    next[k] = rows[a];
    return filled(next, std::min(a, k), movers);
}

// Row number row is deleted: newer rows stay, older pinned rows keep their
// numbers, older unpinned rows fill the free numbers from the gap down. When
// the bottom row is pinned and is not the deleted one, filler takes the last
// free number and the row count stays.
template <typename Row>
std::vector<Row> deleted(const std::vector<Row>& rows, int row, const Row& filler) {
    const std::size_t n = rows.size(), d = static_cast<std::size_t>(row - 1);
    const bool withFiller = rows.back().pinned && d != n - 1;
    std::vector<std::optional<Row>> next(withFiller ? n : n - 1);
    std::vector<Row> movers;
    for (std::size_t i = 0; i < n; ++i) {
        if (i < d || (i > d && rows[i].pinned)) next[i] = rows[i];
        if (i > d && !rows[i].pinned) movers.push_back(rows[i]);
    }
    if (withFiller) movers.push_back(filler);
    return filled(next, d, movers);
}

// Slot 0 is the bottom row.
template <typename Row>
std::vector<bool> pinnedBySlot(const std::vector<Row>& rows) {
    std::vector<bool> pinned;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) pinned.push_back(it->pinned);
    return pinned;
}

// The rows in the window's slot order, filler where it says so; none when the
// order names a slot that does not exist or names one twice.
template <typename Row>
std::optional<std::vector<Row>> applied(const std::vector<Row>& rows, const rows::SlotOrder& order,
                                        const Row& filler) {
    const int count = static_cast<int>(rows.size());
    std::vector<bool> used(rows.size(), false);
    std::vector<Row> out;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (*it == rows::filler) {
            out.push_back(filler);
            continue;
        }
        if (*it < 0 || *it >= count || used[static_cast<std::size_t>(*it)]) return std::nullopt;
        used[static_cast<std::size_t>(*it)] = true;
        out.push_back(rows[static_cast<std::size_t>(count - 1 - *it)]);
    }
    return out;
}

}  // namespace tarnwick::reference
