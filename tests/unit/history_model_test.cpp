// The row rules of the history model: every pin pattern of a small history
// against the one reference, then a few worked cases written out as rows of
// letters. A listener that mirrors the rows from the model's reports must end
// up with the model's order.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "history/HistoryModel.h"
#include "support/RowRules.h"

namespace tarnwick {
namespace {

using Commit = HistoryModel::Commit;

struct Row {
    std::string name;  // "" for a filler row
    bool pinned = false;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first

struct Sync final : HistorySync {
    void pauseUpdates() override { ++paused; }
    void resumeUpdates() override { --paused; }
    bool writeEntryZeroToPasteboard() override { return ++writes, paused == 1; }
    void clearPasteboard() override { ++clears; }
    void publish() override {}
    int paused = 0, writes = 0, clears = 0;
};

// Follows the reports as the window does.
struct Mirror final : HistoryListener {
    explicit Mirror(const HistoryModel& m) : model(m) {}
    void rowInserted(int row) override { texts.insert(row - 1, model.text(row)); }
    void rowRemoved(int row) override { texts.removeAt(row - 1); }
    void rowMoved(int from, int to) override { texts.move(from - 1, to - 1); }
    void rowChanged(int row) override { texts[row - 1] = model.text(row); }
    void rowsReset() override { texts = model.texts(); }
    void rowsChangeEnded() override { ++ends; }
    const HistoryModel& model;
    QStringList texts;
    int ends = 0;
};

struct Fixture {
    explicit Fixture(const Rows& rows) {
        model.setListener(&mirror);
        QStringList texts;
        for (const Row& row : rows) texts << QString::fromStdString(row.name);
        model.replaceAll(texts);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].pinned) model.setPinned(static_cast<int>(i) + 1, true);
        mirror.ends = 0;
    }
    Rows rows() const {
        Rows out;
        for (int r = 1; r <= model.count(); ++r)
            out.push_back({model.text(r).toStdString(), model.pinned(r)});
        EXPECT_EQ(mirror.texts, model.texts());
        EXPECT_EQ(mirror.ends, 1) << "one end per operation";
        EXPECT_EQ(sync.paused, 0);
        return out;
    }
    Sync sync;
    HistoryModel model{sync};
    Mirror mirror{model};
};

// "A B* C": row 1 first, a star for a pinned row.
Rows letters(const std::string& text) {
    std::istringstream in(text);
    Rows rows;
    for (std::string word; in >> word;) {
        const bool pinned = word.back() == '*';
        rows.push_back({pinned ? word.substr(0, word.size() - 1) : word, pinned});
    }
    return rows;
}

std::string show(const Rows& rows) {
    std::string out;
    for (const Row& row : rows)
        out += (out.empty() ? "" : " ") + (row.name.empty() ? "_" : row.name) +
               (row.pinned ? "*" : "");
    return out;
}

// With up to eight rows every pin pattern is reached, so no sequence of
// operations can lead anywhere these cases do not cover.
TEST(HistoryModelRules, EveryPinPatternOfUpToEightRowsFollowsTheReference) {
    for (int n = 0; n <= 8; ++n)
        for (unsigned mask = 0; mask < (1u << n); ++mask) {
            Rows rows;
            for (int i = 0; i < n; ++i)
                rows.push_back({std::to_string(i + 1), (mask >> i & 1u) != 0});
            SCOPED_TRACE(show(rows));
            {
                Fixture f(rows);
                f.model.add("N");
                ASSERT_EQ(f.rows(), reference::added(rows, Row{"N"}));
                ASSERT_EQ(f.sync.writes, 0);
            }
            for (int a = 1; a <= n; ++a) {
                for (int typed = -1; typed <= n + 1; ++typed) {
                    const int k = std::clamp(typed, 1, n);
                    Fixture f(rows);
                    const Commit result = f.model.commitRowNumber(a, QString::number(typed));
                    if (rows[static_cast<std::size_t>(k - 1)].pinned) {
                        ASSERT_EQ(result, k == a ? Commit::unchanged : Commit::rejected);
                        ASSERT_EQ(f.rows(), rows);
                        continue;
                    }
                    ASSERT_EQ(result, Commit::moved) << a << " typed " << typed;
                    ASSERT_EQ(f.rows(), reference::moved(rows, a, k)) << a << " to " << k;
                    // The clipboard follows row 1 when it is a source or target.
                    ASSERT_EQ(f.sync.writes, a == 1 || k == 1 ? 1 : 0) << a << " to " << k;
                }
                Fixture f(rows);
                f.model.remove(a);
                ASSERT_EQ(f.rows(), reference::deleted(rows, a, Row{""})) << "delete row " << a;
                ASSERT_EQ(f.sync.clears + f.sync.writes, 1) << "delete row " << a;
                ASSERT_EQ(f.sync.clears, f.model.count() == 0 ? 1 : 0);
            }
        }
}

// Worked cases, as the rules are explained to users.
TEST(HistoryModelRules, WorkedCases) {
    struct Case {
        const char* before;
        char op;  // '+' a row N arrives, 'm' row a moves to row b, 'd' row a is deleted
        int a, b;
        const char* after;
    };
    const Case cases[] = {
        {"C B* A", '+', 0, 0, "N B* C A"},        // the pinned row keeps row 2
        {"A* B*", '+', 0, 0, "A* B* N"},          // a pinned row 1 stays on top
        {"A B C* D E", 'm', 5, 2, "A E C* B D"},  // D passes over the pinned C
        {"A B* C* D E", 'm', 1, 4, "D B* C* A E"},
        {"A B C D E", 'm', 3, 1, "C A B D E"},
        {"A B C* D* E F", 'd', 2, 0, "A E C* D* F"},
        {"A B C D*", 'd', 2, 0, "A C _ D*"},  // an empty row keeps D at row 4
        {"A B* C*", 'd', 1, 0, "_ B* C*"},
        {"A* B*", 'd', 2, 0, "A*"},
    };
    for (const Case& c : cases) {
        Fixture f(letters(c.before));
        if (c.op == '+') f.model.add("N");
        if (c.op == 'm') f.model.commitRowNumber(c.a, QString::number(c.b));
        if (c.op == 'd') f.model.remove(c.a);
        EXPECT_EQ(show(f.rows()), c.after) << c.before << " " << c.op << c.a;
    }
}

// An edit of row 1 puts it on the clipboard under the polling pause, unless it
// follows a cut; other rows never touch the clipboard. Every edit ends the note.
TEST(HistoryModelRules, AnEditOfRowOneFollowsTheClipboardUnlessACutCameFirst) {
    struct Case {
        int row;
        bool cut;
        int writes, writesAfterTwo;
    };
    for (const Case c : {Case{1, false, 1, 2}, Case{1, true, 0, 1}, Case{2, false, 0, 0}}) {
        Fixture f(letters("A B"));
        if (c.cut) f.model.noteCut();
        f.model.edit(c.row, "x");
        EXPECT_EQ(f.model.text(c.row), "x");
        EXPECT_EQ(f.sync.writes, c.writes) << c.row << c.cut;
        EXPECT_FALSE(f.model.cutNoted());
        f.rows();
        f.model.edit(c.row, "xy");
        EXPECT_EQ(f.sync.writes, c.writesAfterTwo) << c.row << c.cut;
    }
}

}  // namespace
}  // namespace tarnwick
