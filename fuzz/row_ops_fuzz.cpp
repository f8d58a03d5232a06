// Fuzzes random sequences of row arrivals, moves by typed row numbers and
// deletions on random pins. After every step the new order must be a valid
// permutation of the old rows (plus a filler row only where one is allowed),
// every pinned row must keep its row number, and the order must equal the one
// a plain reference derives from the stated results of each operation.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ui/RowOrder.h"

namespace {

namespace rows = tarnwick::rows;

struct Row {
    int id;  // -1 for a filler row
    bool pinned;
};
using Rows = std::vector<Row>;  // by history index: row number 1 first

constexpr int maxRows = 40;

void check(bool holds) {
    if (!holds) std::abort();
}

std::vector<bool> pinsBySlot(const Rows& byIndex) {
    std::vector<bool> pins(byIndex.size());
    for (std::size_t i = 0; i < byIndex.size(); ++i)
        pins[byIndex.size() - 1 - i] = byIndex[i].pinned;
    return pins;
}

// Applies a slot order to rows listed by history index; fillers become new rows.
Rows applyOrder(const Rows& byIndex, const rows::SlotOrder& order) {
    const int count = static_cast<int>(byIndex.size());
    Rows result(order.size());
    for (std::size_t s = 0; s < order.size(); ++s) {
        const int old = order[s];
        result[order.size() - 1 - s] =
            old == rows::filler ? Row{-1, false} : byIndex[count - 1 - old];
    }
    return result;
}

// Each old slot at most once, all of them but `missing`, and fillers only
// where allowed.
void checkPermutation(const rows::SlotOrder& order, int count, int missing, int fillersAllowed) {
    std::vector<int> seen(static_cast<std::size_t>(count), 0);
    int fillers = 0;
    for (const int old : order) {
        if (old == rows::filler) {
            ++fillers;
            continue;
        }
        check(old >= 0 && old < count && old != missing);
        ++seen[static_cast<std::size_t>(old)];
    }
    for (int s = 0; s < count; ++s)
        check(seen[static_cast<std::size_t>(s)] == (s == missing ? 0 : 1));
    check(fillers <= fillersAllowed);
    check(static_cast<int>(order.size()) == count - (missing >= 0 ? 1 : 0) + fillers);
}

// Pinned rows (other than `except`) stand at the same history index after.
void checkPinsKept(const Rows& before, const Rows& after, int except) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!before[i].pinned || before[i].id == except) continue;
        check(i < after.size() && after[i].id == before[i].id);
    }
}

// From index `from` on, the pinned rows of `pins` keep their index and the
// rows of `unpinned`, in order, fill the indices left; earlier indices keep
// the rows of `pins`.
Rows fillAroundPins(const Rows& pins, const std::vector<Row>& unpinned, std::size_t from,
                    std::size_t size) {
    Rows result(pins.begin(), pins.begin() + static_cast<std::ptrdiff_t>(from));
    auto next = unpinned.begin();
    for (std::size_t i = from; i < size; ++i) {
        if (i < pins.size() && pins[i].pinned) {
            result.push_back(pins[i]);
        } else if (next != unpinned.end()) {
            result.push_back(*next++);
        }
    }
    return result;
}

Rows referenceAdd(const Rows& withNewOnTop) {
    std::vector<Row> unpinned;
    for (const Row& row : withNewOnTop)
        if (!row.pinned) unpinned.push_back(row);
    // Each pinned row takes back the index it had before the new row came on top.
    Rows pins(withNewOnTop.size(), Row{-2, false});
    for (std::size_t i = 1; i < withNewOnTop.size(); ++i)
        if (withNewOnTop[i].pinned) pins[i - 1] = withNewOnTop[i];
    return fillAroundPins(pins, unpinned, 0, withNewOnTop.size());
}

Rows referenceMove(const Rows& byIndex, int fromRow, int toRow) {
    const std::size_t a = static_cast<std::size_t>(fromRow - 1),
                      k = static_cast<std::size_t>(toRow - 1);
    const std::size_t low = std::min(a, k), high = std::max(a, k);
    Rows result = byIndex;
    std::vector<Row> unpinned;
    for (std::size_t i = low; i <= high; ++i)
        if (i != a && !byIndex[i].pinned) unpinned.push_back(byIndex[i]);
    auto next = unpinned.begin();
    for (std::size_t i = low; i <= high; ++i) {
        if (i == k) {
            result[i] = byIndex[a];
        } else if (i == a || !byIndex[i].pinned) {
            result[i] = *next++;
        }
    }
    return result;
}

Rows referenceDelete(const Rows& byIndex, std::size_t d) {
    const std::size_t n = byIndex.size();
    const bool filler = n >= 2 && byIndex[n - 1].pinned && d != n - 1;
    std::vector<Row> unpinned;
    for (std::size_t i = d + 1; i < n; ++i)
        if (!byIndex[i].pinned) unpinned.push_back(byIndex[i]);
    if (filler) unpinned.push_back(Row{-1, false});
    Rows pins = byIndex;
    pins[d] = Row{-2, false};  // the deleted row holds no index any more
    return fillAroundPins(pins, unpinned, d, filler ? n : n - 1);
}

bool sameRows(const Rows& a, const Rows& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Row& x, const Row& y) {
        return x.id == y.id && x.pinned == y.pinned;
    });
}

void arrive(Rows& byIndex, int id) {
    if (byIndex.size() >= maxRows) return;
    Rows withNew = byIndex;
    withNew.insert(withNew.begin(), Row{id, false});
    const rows::SlotOrder order = rows::afterAdd(pinsBySlot(withNew));
    checkPermutation(order, static_cast<int>(withNew.size()), -1, 0);
    const Rows after = applyOrder(withNew, order);
    check(after.front().id == id || after.front().pinned);
    checkPinsKept(byIndex, after, -1);
    check(sameRows(after, referenceAdd(withNew)));
    byIndex = after;
}

QString typedText(FuzzedDataProvider& input, int count) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return QString::number(input.ConsumeIntegralInRange(-3, count + 3));
        case 1:
            return QStringLiteral("+") + QString::number(input.ConsumeIntegralInRange(0, count));
        case 2:
            return QString::number(input.ConsumeIntegral<std::int64_t>());
        default:
            return QString::fromStdString(input.ConsumeRandomLengthString(6));
    }
}

void move(Rows& byIndex, FuzzedDataProvider& input) {
    const int count = static_cast<int>(byIndex.size());
    if (count == 0) return;
    const int ownRow = input.ConsumeIntegralInRange(1, count);
    const QString typed = typedText(input, count);
    const std::vector<bool> pins = pinsBySlot(byIndex);
    const rows::OrderCommit commit = rows::decideOrderCommit(typed, pins, ownRow);
    const auto number = rows::parseRowNumber(typed);
    using Kind = rows::OrderCommit::Kind;
    if (!number) return check(commit.kind == Kind::rejected);
    const int target = rows::clampRowNumber(*number, count);
    if (byIndex[static_cast<std::size_t>(target - 1)].pinned)
        return check(commit.kind == (target == ownRow ? Kind::unchanged : Kind::rejected));
    check(commit.kind == Kind::move && commit.fromRow == ownRow && commit.toRow == target);
    check(commit.touchesNewest() == (ownRow == 1 || target == 1));

    const rows::SlotOrder order = rows::afterMove(pins, commit.fromRow, commit.toRow);
    checkPermutation(order, count, -1, 0);
    const Rows after = applyOrder(byIndex, order);
    const int moved = byIndex[static_cast<std::size_t>(ownRow - 1)].id;
    check(after[static_cast<std::size_t>(target - 1)].id == moved);
    checkPinsKept(byIndex, after, moved);
    check(sameRows(after, referenceMove(byIndex, ownRow, target)));
    byIndex = after;
}

void remove(Rows& byIndex, FuzzedDataProvider& input, int& nextId) {
    const int count = static_cast<int>(byIndex.size());
    if (count == 0) return;
    const int slot = input.ConsumeIntegralInRange(0, count - 1);
    const std::vector<bool> pins = pinsBySlot(byIndex);
    const rows::SlotOrder order = rows::afterDelete(pins, slot);
    const bool fillerAllowed = count >= 2 && pins[0] && slot != 0;
    checkPermutation(order, count, slot, fillerAllowed ? 1 : 0);
    // A filler row is added exactly when the pinned bottom row must keep its number.
    check(static_cast<int>(order.size()) == (fillerAllowed ? count : count - 1));
    const Rows after = applyOrder(byIndex, order);
    const std::size_t d = static_cast<std::size_t>(count - 1 - slot);
    checkPinsKept(byIndex, after, byIndex[d].id);
    check(sameRows(after, referenceDelete(byIndex, d)));
    byIndex = after;
    for (Row& row : byIndex)
        if (row.id == -1) row.id = nextId++;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Rows byIndex;
    int nextId = 0;
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 4)) {
            case 0:
            case 1:
                arrive(byIndex, nextId++);
                break;
            case 2:
                if (!byIndex.empty()) {
                    Row& row =
                        byIndex[input.ConsumeIntegralInRange<std::size_t>(0, byIndex.size() - 1)];
                    row.pinned = !row.pinned;
                }
                break;
            case 3:
                move(byIndex, input);
                break;
            default:
                remove(byIndex, input, nextId);
                break;
        }
    }
    return 0;
}
