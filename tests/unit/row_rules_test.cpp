// The row rules: every pin pattern of a small history against the one
// reference, then a few worked cases written out as rows of letters.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/RowRules.h"

namespace tarnwick {
namespace {

using Kind = rows::OrderCommit::Kind;
using reference::pinnedBySlot;

struct Row {
    std::string name;  // "_" for a filler row
    bool pinned = false;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first
const Row filler{"_"};

Rows applied(const Rows& rows, const rows::SlotOrder& order) {
    return reference::applied(rows, order, filler).value_or(Rows{{"invalid order"}});
}

// With up to eight rows every pin pattern is reached, so no sequence of
// operations can lead anywhere these cases do not cover.
TEST(RowRules, EveryPinPatternOfUpToEightRowsFollowsTheReference) {
    for (int n = 0; n <= 8; ++n)
        for (unsigned mask = 0; mask < (1u << n); ++mask) {
            Rows rows;
            for (int i = 0; i < n; ++i)
                rows.push_back({std::to_string(i + 1), (mask >> i & 1u) != 0});
            SCOPED_TRACE(testing::Message() << n << " rows, pinned mask " << mask);
            Rows withNew = rows;
            withNew.insert(withNew.begin(), Row{"N"});
            ASSERT_EQ(applied(withNew, rows::afterAdd(pinnedBySlot(withNew))),
                      reference::added(rows, Row{"N"}));
            for (int a = 1; a <= n; ++a) {
                for (int typed = -1; typed <= n + 1; ++typed) {
                    const int k = std::clamp(typed, 1, n);
                    const auto commit =
                        rows::decideOrderCommit(QString::number(typed), pinnedBySlot(rows), a);
                    if (rows[static_cast<std::size_t>(k - 1)].pinned) {
                        ASSERT_EQ(commit.kind, k == a ? Kind::unchanged : Kind::rejected);
                        continue;
                    }
                    ASSERT_EQ(commit.kind, Kind::move) << a << " typed " << typed;
                    ASSERT_EQ(commit.fromRow, a);
                    ASSERT_EQ(commit.toRow, k);
                    ASSERT_EQ(commit.touchesNewest(), a == 1 || k == 1);
                    ASSERT_EQ(applied(rows, rows::afterMove(pinnedBySlot(rows), a, k)),
                              reference::moved(rows, a, k))
                        << a << " to " << k;
                }
                ASSERT_EQ(applied(rows, rows::afterDelete(pinnedBySlot(rows), n - a)),
                          reference::deleted(rows, a, filler))
                    << "delete row " << a;
            }
        }
}

// Worked cases as the rules are explained to users: row 1 first, a star for a
// pinned row; '+' a row N arrives, 'm' row a moves to row b, 'd' row a is deleted.
TEST(RowRules, WorkedCases) {
    const struct {
        const char* before;
        char op;
        int a, b;
        const char* after;
    } cases[] = {
        {"C B* A", '+', 0, 0, "N B* C A"},        // the pinned row keeps row 2
        {"A B C* D E", 'm', 5, 2, "A E C* B D"},  // E passes over the pinned C
        {"A B* C* D E", 'm', 1, 4, "D B* C* A E"}, {"A B C* D* E F", 'd', 2, 0, "A E C* D* F"},
        {"A B C D*", 'd', 2, 0, "A C _ D*"},  // an empty row keeps D at row 4
    };
    for (const auto& c : cases) {
        Rows rows;
        std::istringstream in(c.before);
        for (std::string w; in >> w;) rows.push_back({w.substr(0, 1), w.size() > 1});
        rows::SlotOrder order;
        if (c.op == '+') {
            rows.insert(rows.begin(), Row{"N"});
            order = rows::afterAdd(pinnedBySlot(rows));
        } else {
            order = c.op == 'm' ? rows::afterMove(pinnedBySlot(rows), c.a, c.b)
                                : rows::afterDelete(pinnedBySlot(rows), int(rows.size()) - c.a);
        }
        std::string shown;
        for (const Row& row : applied(rows, order))
            shown += (shown.empty() ? "" : " ") + row.name + (row.pinned ? "*" : "");
        EXPECT_EQ(shown, c.after) << c.before << " " << c.op << c.a;
    }
}

}  // namespace
}  // namespace tarnwick
