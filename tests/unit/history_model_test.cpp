// SPDX-License-Identifier: MIT
// The row rules of the history model against the shared reference, and the
// clipboard rules of row 1. A mirror that follows the model's signals must end
// in the model's order; Qt's model tester checks each signal's contract.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include <string>

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

struct Fixture final : HistorySync {
    explicit Fixture(const Rows& rows) {
        for (const Row& row : rows) mirror << QString::fromStdString(row.name);
        model.replaceAll(mirror);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].pinned) model.setPinned(static_cast<int>(i) + 1, true);
        publishes = 0;  // counted from the operation under test
        using M = QAbstractItemModel;
        QObject::connect(&model, &M::rowsInserted, [this](const QModelIndex&, int r, int) {
            mirror.insert(r, model.text(r + 1));
        });
        QObject::connect(&model, &M::rowsRemoved,
                         [this](const QModelIndex&, int r, int) { mirror.removeAt(r); });
        QObject::connect(&model, &M::rowsMoved,
                         [this](const QModelIndex&, int r, int, const QModelIndex&, int before) {
                             mirror.move(r, before > r ? before - 1 : before);
                         });
        QObject::connect(&model, &M::dataChanged, [this](const QModelIndex& i, const QModelIndex&) {
            mirror[i.row()] = model.text(i.row() + 1);
        });
        QObject::connect(&model, &M::modelReset, [this] { mirror = model.texts(); });
        QObject::connect(&model, &HistoryModel::changeEnded, [this] { ++ends; });
    }
    Rows rows() {
        Rows out;
        // Read as a view reads them; only a delete's filler row is empty.
        for (int r = 1; r <= model.count(); ++r) {
            const QModelIndex i = model.index(r - 1);
            const QString text = i.data().toString();
            EXPECT_EQ(i.data(HistoryModel::RowNumberRole).toInt(), r);
            EXPECT_EQ(i.data(HistoryModel::FillerRole).toBool(), text.isEmpty()) << r;
            out.push_back({text.toStdString(), i.data(HistoryModel::PinnedRole).toBool()});
        }
        EXPECT_EQ(mirror, model.texts());
        EXPECT_EQ(ends, 1) << "one end per operation";
        EXPECT_EQ(paused, 0);
        return out;
    }
    void pauseUpdates() override { ++paused; }  // the clipboard side
    void resumeUpdates() override { --paused; }
    bool writeEntryZeroToPasteboard() override { return ++writes, paused == 1; }
    void clearPasteboard() override { ++clears; }
    void publish() override { ++publishes; }

    HistoryModel model{*this};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QStringList mirror;
    int paused = 0, writes = 0, clears = 0, ends = 0, publishes = 0;
};

// Every pin pattern of up to eight rows: no sequence of operations leads elsewhere.
TEST(HistoryModelRules, EveryPinPatternOfUpToEightRowsFollowsTheReference) {
    for (int n = 0; n <= 8; ++n)
        for (unsigned mask = 0; mask < (1u << n); ++mask) {
            Rows rows;
            for (int i = 0; i < n; ++i)
                rows.push_back({std::to_string(i + 1), (mask >> i & 1u) != 0});
            SCOPED_TRACE(testing::Message() << n << " rows, pinned mask " << mask);
            Fixture added(rows);
            added.model.add("N");
            ASSERT_EQ(added.rows(), reference::added(rows, Row{"N"}));
            for (int a = 1; a <= n; ++a) {
                for (int typed = -1; typed <= n + 1; ++typed) {
                    const int k = std::clamp(typed, 1, n);
                    Fixture f(rows);
                    const Commit result = f.model.commitRowNumber(a, QString::number(typed));
                    const bool refused = rows[static_cast<std::size_t>(k - 1)].pinned;
                    ASSERT_EQ(result, !refused ? Commit::moved
                                      : k == a ? Commit::unchanged
                                               : Commit::rejected);
                    ASSERT_EQ(f.rows(), refused ? rows : reference::moved(rows, a, k)) << a << k;
                    // The clipboard follows row 1 as source or target; the snapshot, any move.
                    ASSERT_EQ(f.writes, !refused && (a == 1 || k == 1) ? 1 : 0) << a << k;
                    ASSERT_EQ(f.publishes, refused ? 0 : 1) << a << k;
                }
                for (const int stale : {0, n + 1}) {  // a row gone before its number came
                    Fixture g(rows);
                    ASSERT_EQ(g.model.commitRowNumber(stale, "1"), Commit::unchanged);
                    ASSERT_EQ(g.rows(), rows);
                }
                Fixture f(rows);
                f.model.remove(a);
                ASSERT_EQ(f.rows(), reference::deleted(rows, a, Row{""})) << "delete row " << a;
                ASSERT_EQ(f.clears, f.model.count() == 0 ? 1 : 0);
                ASSERT_EQ(f.writes, f.model.count() == 0 ? 0 : 1);
                ASSERT_EQ(f.publishes, 1);
            }
        }
}

// An edit of row 1 goes to the clipboard under the polling pause unless it follows a cut; other
// rows never do. Every edit ends the cut note; an edited filler row (row 3) is one no more.
TEST(HistoryModelRules, AnEditOfRowOneFollowsTheClipboardUnlessACutCameFirst) {
    for (const auto& [row, cut, writes] : {std::tuple{1, false, 2}, {1, true, 1}, {3, false, 0}}) {
        Fixture f({{"A"}, {"B"}, {"C"}, {"D", true}});
        f.model.remove(2);
        f.writes = f.publishes = f.ends = 0;
        if (cut) f.model.noteCut();
        f.model.edit(row, "x");
        EXPECT_EQ(f.writes, row == 1 && !cut ? 1 : 0);
        EXPECT_EQ(f.publishes, 1);
        EXPECT_FALSE(f.model.cutNoted());
        f.rows();
        f.model.edit(row, "xy");
        EXPECT_EQ(f.model.text(row), "xy");
        EXPECT_EQ(f.writes, writes) << row << cut;
    }
}

}  // namespace
}  // namespace tarnwick
