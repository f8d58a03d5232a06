#pragma once

#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

// A reference of what the user sees of the rows, written from the rules in
// words: whole rows are taken and put back, rather than walked slot by slot as
// the window does.
namespace tarnwick::test::model {

struct Row {
    int id = 0;  // stays with the row while it moves
    QString text;
    bool pinned = false;
    bool menuBuilt = false;
    bool pinItem = false;
};

class Reference {
public:
    std::vector<Row> rows;  // row 1 first
    std::optional<QString> clipboard;
    QString lastAdded;
    std::optional<int> pending;  // id of the index field whose edit is pending
    int beeps = 0;
    int nextId = 0;

    int rowOf(int id) const {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].id == id) return static_cast<int>(r) + 1;
        }
        return 0;
    }

    // A polling pass: a clipboard text that is neither entry 0 nor the last
    // text taken becomes the newest entry; pinned rows keep their numbers.
    void poll() {
        if (!clipboard) return;
        const QString& text = *clipboard;
        if (!rows.empty() && (text == rows.front().text || text == lastAdded)) return;
        std::vector<Row> movers{Row{nextId++, text}};
        for (const Row& row : rows) {
            if (!row.pinned) movers.push_back(row);
        }
        std::vector<std::optional<Row>> next(rows.size() + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (rows[r].pinned) next[r] = rows[r];
        }
        fill(next, 0, movers);
        lastAdded = text;
    }

    // Every click in the rows or on the window first commits the pending edit,
    // which by then shows its own row number: nothing moves, but a row 1 that
    // is not pinned puts entry 0 on the clipboard again.
    void commitPending() {
        if (!pending) return;
        const int row = rowOf(*pending);
        if (row == 1 && !rows.front().pinned) clipboard = rows.front().text;
    }

    void rightClickIndex(int id) {
        commitPending();
        pending = id;
        Row& row = rows[rowOf(id) - 1];
        if (row.menuBuilt) return;
        row.menuBuilt = true;
        row.pinItem = rowOf(id) <= 10;
    }

    void commitTyped(int id, const QString& typed) {
        const std::optional<long long> number = parse(typed);
        if (!number) {
            ++beeps;
            return;
        }
        const int count = static_cast<int>(rows.size());
        const int from = rowOf(id);
        const int to = static_cast<int>(std::clamp<long long>(*number, 1, count));
        if (rows[to - 1].pinned) {
            if (to != from) ++beeps;
            return;
        }
        move(from, to);
        if (from == 1 || to == 1) clipboard = rows.front().text;
    }

    void deleteRow(int id) {
        pending.reset();
        const int d = rowOf(id) - 1;
        const int count = static_cast<int>(rows.size());
        const bool filler = rows.back().pinned && d != count - 1;
        std::vector<std::optional<Row>> next(filler ? count : count - 1);
        std::vector<Row> movers;
        for (int i = 0; i < count; ++i) {
            if (i < d || (i > d && rows[i].pinned)) next[i] = rows[i];
            if (i > d && !rows[i].pinned) movers.push_back(rows[i]);
        }
        if (filler) movers.push_back(Row{nextId++, QString()});
        fill(next, d, movers);
        clipboard = rows.empty() ? std::nullopt : std::optional<QString>(rows.front().text);
    }

    void deleteAll() {
        pending.reset();
        rows.clear();
        clipboard.reset();
    }

    void edit(int id, const QString& text) {
        const int row = rowOf(id);
        rows[row - 1].text = text;
        if (row == 1) clipboard = text;
    }

private:
    static std::optional<long long> parse(const QString& typed) {
        static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]+$"));
        if (!form.match(typed).hasMatch()) return std::nullopt;
        bool ok = false;
        const long long value = typed.toLongLong(&ok);
        return ok ? std::optional<long long>(value) : std::nullopt;
    }

    // Moving row from to row to: pinned rows in between keep their numbers; the
    // others keep their order in the numbers left.
    void move(int from, int to) {
        const int low = std::min(from, to), high = std::max(from, to);
        std::vector<std::optional<Row>> next(rows.begin(), rows.end());
        std::vector<Row> movers;
        for (int r = low; r <= high; ++r) {
            const Row& row = rows[r - 1];
            if (r != from && !row.pinned) movers.push_back(row);
            if (r == from || !row.pinned) next[r - 1].reset();
        }
        next[to - 1] = rows[from - 1];
        fill(next, low - 1, movers);
    }

    // Gives the free places from start on to movers, in order.
    void fill(std::vector<std::optional<Row>>& next, int start, const std::vector<Row>& movers) {
        auto mover = movers.begin();
        for (std::size_t i = static_cast<std::size_t>(start); i < next.size(); ++i) {
            if (!next[i] && mover != movers.end()) next[i] = *mover++;
        }
        rows.clear();
        for (const auto& row : next) rows.push_back(*row);
    }
};

}  // namespace tarnwick::test::model
