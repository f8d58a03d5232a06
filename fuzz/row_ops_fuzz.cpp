// Fuzzes long sequences of row arrivals, pins, moves by typed row numbers and
// deletions against the reference the unit and widget tests share.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "support/RowRules.h"
#include "ui/RowOrder.h"

namespace {

namespace rows = tarnwick::rows;
namespace reference = tarnwick::reference;

struct Row {
    int id;  // -1 for a filler row until it is named
    bool pinned;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first

void check(bool holds) {
    if (!holds) std::abort();
}

std::vector<bool> pinsBySlot(const Rows& rows) {
    std::vector<bool> pins;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) pins.push_back(it->pinned);
    return pins;
}

// Each old slot at most once; a filler, or a slot out of range, aborts unless
// allowed.
Rows applied(const Rows& rows, const rows::SlotOrder& order, bool fillerAllowed) {
    const int count = static_cast<int>(rows.size());
    Rows out;
    std::vector<bool> used(rows.size(), false);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (*it == rows::filler && fillerAllowed) {
            out.push_back({-1, false});
            continue;
        }
        check(*it >= 0 && *it < count && !used[static_cast<std::size_t>(*it)]);
        used[static_cast<std::size_t>(*it)] = true;
        out.push_back(rows[static_cast<std::size_t>(count - 1 - *it)]);
    }
    return out;
}

QString typedText(FuzzedDataProvider& input, int count) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return QString::number(input.ConsumeIntegralInRange(-3, count + 3));
        case 1:
            return QString::number(input.ConsumeIntegral<std::int64_t>());
        default:
            return QString::fromStdString(input.ConsumeRandomLengthString(6));
    }
}

void move(Rows& rows, FuzzedDataProvider& input) {
    const int count = static_cast<int>(rows.size());
    const int own = input.ConsumeIntegralInRange(1, count);
    const QString typed = typedText(input, count);
    const auto commit = rows::decideOrderCommit(typed, pinsBySlot(rows), own);
    using Kind = rows::OrderCommit::Kind;
    const auto number = rows::parseRowNumber(typed);  // checked by row_number_fuzz
    if (!number) return check(commit.kind == Kind::rejected);
    const int to = static_cast<int>(std::clamp<std::int64_t>(*number, 1, count));
    if (rows[static_cast<std::size_t>(to - 1)].pinned)
        return check(commit.kind == (to == own ? Kind::unchanged : Kind::rejected));
    check(commit.kind == Kind::move && commit.fromRow == own && commit.toRow == to);
    const Rows after = applied(rows, rows::afterMove(pinsBySlot(rows), own, to), false);
    check(after == reference::moved(rows, own, to));
    rows = after;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Rows rows;
    int nextId = 0;
    while (input.remaining_bytes() > 0) {
        const int op = rows.empty() ? 0 : input.ConsumeIntegralInRange(0, 4);
        if (op <= 1 && rows.size() < 40) {
            Rows withNew = rows;
            withNew.insert(withNew.begin(), Row{nextId, false});
            const Rows after = applied(withNew, rows::afterAdd(pinsBySlot(withNew)), false);
            check(after == reference::added(rows, Row{nextId++, false}));
            rows = after;
        } else if (op == 2) {
            rows[input.ConsumeIntegralInRange<std::size_t>(0, rows.size() - 1)].pinned ^= true;
        } else if (op == 3) {
            move(rows, input);
        } else if (op == 4) {
            const int row = input.ConsumeIntegralInRange(1, static_cast<int>(rows.size()));
            const auto order =
                rows::afterDelete(pinsBySlot(rows), static_cast<int>(rows.size()) - row);
            const Rows after = applied(rows, order, true);
            check(after == reference::deleted(rows, row, Row{-1, false}));
            rows = after;
            for (Row& r : rows)
                if (r.id == -1) r.id = nextId++;
        }
    }
    return 0;
}
