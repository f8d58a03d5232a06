#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace tarnwick::stress {

// What the history should hold, derived from the arrivals and the window
// operations the stress run performed, row by row (index 0 = row 1). Rows are
// known by their texts: every copied text is distinct, every edit makes a new
// distinct text, and filler rows are all alike.
class HistoryModel {
public:
    struct Row {
        QString text;
        bool pinned = false;
        bool operator==(const Row&) const = default;
    };
    using Rows = std::vector<Row>;
    // One window operation, applied to rows as they were when it ran.
    using Operation = std::function<void(Rows&)>;

    const Rows& rows() const { return rows_; }
    void arrive(const QString& text) { arrive(rows_, text); }

    // Applies an operation during which `arrivals` came in through the
    // polling step. Both orders are legal (the operation may pause polling
    // before or after it rearranges the rows): the one that gives `actual`
    // is taken. False when neither does.
    bool apply(const Operation& operation, const QStringList& arrivals, const Rows& actual);

    // Operations, by the text of the row they act on.
    static Operation move(const QString& rowText, const QString& typed);
    static Operation togglePin(const QString& rowText);
    static Operation remove(const QString& rowText);
    static Operation removeAll();
    static Operation edit(const QString& rowText, const QString& newText);

    static void arrive(Rows& rows, const QString& text);
    static QString describe(const Rows& rows);

private:
    Rows rows_;
};

}  // namespace tarnwick::stress
