// Fuzzes long sequences of row arrivals, pins, moves by typed row numbers and
// deletions on the history model against the reference the tests share.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "history/HistoryModel.h"
#include "history/RowNumber.h"
#include "support/RowRules.h"

namespace {

using namespace tarnwick;

struct Row {
    QString text;  // empty for a filler row
    bool pinned;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first

void check(bool holds) {
    if (!holds) std::abort();
}

struct NoClipboard final : HistorySync {
    void pauseUpdates() override {}
    void resumeUpdates() override {}
    bool writeEntryZeroToPasteboard() override { return true; }
    void clearPasteboard() override {}
    void publish() override {}
};

Rows rowsOf(const HistoryModel& model) {
    Rows rows;
    for (int r = 1; r <= model.count(); ++r) rows.push_back({model.text(r), model.pinned(r)});
    return rows;
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

void move(HistoryModel& model, FuzzedDataProvider& input) {
    const Rows rows = rowsOf(model);
    const int count = model.count();
    const int own = input.ConsumeIntegralInRange(1, count);
    const QString typed = typedText(input, count);
    const auto result = model.commitRowNumber(own, typed);
    using Commit = HistoryModel::Commit;
    const auto number = rows::parseRowNumber(typed);  // checked by row_number_fuzz
    if (!number) return check(result == Commit::rejected && rowsOf(model) == rows);
    const int to = static_cast<int>(std::clamp<std::int64_t>(*number, 1, count));
    if (rows[static_cast<std::size_t>(to - 1)].pinned)
        return check(result == (to == own ? Commit::unchanged : Commit::rejected));
    check(result == Commit::moved && rowsOf(model) == reference::moved(rows, own, to));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    NoClipboard sync;
    HistoryModel model(sync);
    int nextId = 0;
    while (input.remaining_bytes() > 0) {
        const int op = model.count() == 0 ? 0 : input.ConsumeIntegralInRange(0, 4);
        const Rows rows = rowsOf(model);
        if (op <= 1 && rows.size() < 40) {
            const QString text = QString::number(nextId++);
            model.add(text);
            check(rowsOf(model) == reference::added(rows, Row{text, false}));
        } else if (op == 2) {
            const int row = input.ConsumeIntegralInRange(1, model.count());
            model.setPinned(row, !model.pinned(row));
        } else if (op == 3) {
            move(model, input);
        } else if (op == 4) {
            const int row = input.ConsumeIntegralInRange(1, model.count());
            model.remove(row);
            check(rowsOf(model) == reference::deleted(rows, row, Row{QString(), false}));
        }
    }
    return 0;
}
