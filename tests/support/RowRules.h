// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <optional>
#include <vector>

// The reference of the row rules for the unit and widget tests: whole rows by
// row number (row 1 first), where the history model moves one row at a time.
// Row is any type with a bool member pinned.
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
        if (rows[i].pinned) next[i] = rows[i];
        if (!rows[i].pinned) movers.push_back(rows[i]);
    }
    return filled(next, 0, movers);
}

// Row from goes to row to (to not pinned unless it is from): pinned rows
// between keep their numbers, the unpinned ones fill the rest in their order.
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

// Row number row is deleted: older pinned rows keep their numbers, older
// unpinned ones fill the free numbers from the gap down; filler takes the last
// when the bottom row is pinned and stays.
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

}  // namespace tarnwick::reference
