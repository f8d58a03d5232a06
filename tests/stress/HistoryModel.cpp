#include "HistoryModel.h"

#include <algorithm>

#include "ui/RowOrder.h"

namespace tarnwick::stress {

namespace {

using Rows = HistoryModel::Rows;

std::vector<bool> pinsBySlot(const Rows& rows) {
    std::vector<bool> pins(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) pins[rows.size() - 1 - i] = rows[i].pinned;
    return pins;
}

// New slot s holds the row of old slot order[s]; fillers are new empty rows.
Rows applyOrder(const Rows& rows, const rows::SlotOrder& order) {
    const std::size_t count = rows.size();
    Rows result(order.size());
    for (std::size_t s = 0; s < order.size(); ++s) {
        const int old = order[s];
        result[order.size() - 1 - s] = old == rows::filler
                                           ? HistoryModel::Row{}
                                           : rows[count - 1 - static_cast<std::size_t>(old)];
    }
    return result;
}

// Row number (1-based) of the row with text; 0 when there is none.
int rowOf(const Rows& rows, const QString& text) {
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const HistoryModel::Row& row) { return row.text == text; });
    return found == rows.end() ? 0 : static_cast<int>(found - rows.begin()) + 1;
}

}  // namespace

void HistoryModel::arrive(Rows& rows, const QString& text) {
    rows.insert(rows.begin(), Row{text, false});
    rows = applyOrder(rows, rows::afterAdd(pinsBySlot(rows)));
}

bool HistoryModel::apply(const Operation& operation, const QStringList& arrivals,
                         const Rows& actual) {
    Rows operationFirst = rows_;
    operation(operationFirst);
    for (const QString& text : arrivals) arrive(operationFirst, text);
    if (operationFirst == actual) {
        rows_ = operationFirst;
        return true;
    }
    Rows arrivalsFirst = rows_;
    for (const QString& text : arrivals) arrive(arrivalsFirst, text);
    operation(arrivalsFirst);
    if (arrivalsFirst == actual) {
        rows_ = arrivalsFirst;
        return true;
    }
    return false;
}

HistoryModel::Operation HistoryModel::move(const QString& rowText, const QString& typed) {
    return [rowText, typed](Rows& rows) {
        const int own = rowOf(rows, rowText);
        if (own == 0) return;
        const rows::OrderCommit commit = rows::decideOrderCommit(typed, pinsBySlot(rows), own);
        if (commit.kind != rows::OrderCommit::Kind::move) return;
        rows = applyOrder(rows, rows::afterMove(pinsBySlot(rows), commit.fromRow, commit.toRow));
    };
}

HistoryModel::Operation HistoryModel::togglePin(const QString& rowText) {
    return [rowText](Rows& rows) {
        if (const int row = rowOf(rows, rowText))
            rows[static_cast<std::size_t>(row - 1)].pinned ^= true;
    };
}

HistoryModel::Operation HistoryModel::remove(const QString& rowText) {
    return [rowText](Rows& rows) {
        const int row = rowOf(rows, rowText);
        if (row == 0) return;
        const int slot = static_cast<int>(rows.size()) - row;
        rows = applyOrder(rows, rows::afterDelete(pinsBySlot(rows), slot));
    };
}

HistoryModel::Operation HistoryModel::removeAll() {
    return [](Rows& rows) { rows.clear(); };
}

HistoryModel::Operation HistoryModel::edit(const QString& rowText, const QString& newText) {
    return [rowText, newText](Rows& rows) {
        if (const int row = rowOf(rows, rowText))
            rows[static_cast<std::size_t>(row - 1)].text = newText;
    };
}

QString HistoryModel::describe(const Rows& rows) {
    QStringList parts;
    for (const Row& row : rows)
        parts << (row.text.isEmpty() ? QStringLiteral("(filler)") : row.text) +
                     (row.pinned ? "*" : "");
    return parts.join(QStringLiteral(" | "));
}

}  // namespace tarnwick::stress
