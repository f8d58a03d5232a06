// Long sequences of row arrivals, pins, moves by typed row numbers and deletions
// against the reference the unit and widget tests share.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <cstdint>
#include <cstdlib>

#include "support/RowRules.h"

namespace {

namespace rows = tarnwick::rows;
namespace reference = tarnwick::reference;
using Kind = rows::OrderCommit::Kind;

struct Row {
    int id;  // -1 for a filler row until it is named
    bool pinned;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first

void check(bool holds) {
    if (!holds) std::abort();
}

// The window's order must name each old slot at most once and match the reference.
void follow(Rows& rows, const rows::SlotOrder& order, const Rows& expected) {
    const auto after = reference::applied(rows, order, Row{-1, false});
    check(after && *after == expected);
    rows = *after;
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
    const auto commit = rows::decideOrderCommit(typed, reference::pinnedBySlot(rows), own);
    const auto number = rows::parseRowNumber(typed);  // checked by row_number_fuzz
    if (!number) return check(commit.kind == Kind::rejected);
    const int to = static_cast<int>(std::clamp<std::int64_t>(*number, 1, count));
    if (rows[static_cast<std::size_t>(to - 1)].pinned)
        return check(commit.kind == (to == own ? Kind::unchanged : Kind::rejected));
    check(commit.kind == Kind::move && commit.fromRow == own && commit.toRow == to);
    follow(rows, rows::afterMove(reference::pinnedBySlot(rows), own, to),
           reference::moved(rows, own, to));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Rows rows;
    int nextId = 0;
    while (input.remaining_bytes() > 0) {
        const int op = rows.empty() ? 0 : input.ConsumeIntegralInRange(0, 4);
        if (op <= 1 && rows.size() < 40) {
            const Row arriving{nextId++, false};
            const Rows expected = reference::added(rows, arriving);
            rows.insert(rows.begin(), arriving);
            follow(rows, rows::afterAdd(reference::pinnedBySlot(rows)), expected);
        } else if (op == 2) {
            rows[input.ConsumeIntegralInRange<std::size_t>(0, rows.size() - 1)].pinned ^= true;
        } else if (op == 3) {
            move(rows, input);
        } else if (op == 4) {
            const int row = input.ConsumeIntegralInRange(1, static_cast<int>(rows.size()));
            follow(rows, rows::afterDelete(reference::pinnedBySlot(rows), int(rows.size()) - row),
                   reference::deleted(rows, row, Row{-1, false}));
            for (Row& r : rows)
                if (r.id == -1) r.id = nextId++;
        }
    }
    return 0;
}
