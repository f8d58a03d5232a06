// The row rules: every pin pattern of a small history against the one
// reference, then a few worked cases written out as rows of letters.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/RowRules.h"
#include "ui/RowOrder.h"

namespace tarnwick {
namespace {

using Kind = rows::OrderCommit::Kind;

struct Row {
    std::string name;  // "_" for a filler row
    bool pinned = false;
    bool operator==(const Row&) const = default;
};
using Rows = std::vector<Row>;  // row 1 first

std::vector<bool> pinnedBySlot(const Rows& rows) {
    std::vector<bool> pinned;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) pinned.push_back(it->pinned);
    return pinned;
}

Rows applied(const Rows& rows, const rows::SlotOrder& order) {
    const int count = static_cast<int>(rows.size());
    Rows out;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const bool valid = *it >= 0 && *it < count;
        out.push_back(valid ? rows[static_cast<std::size_t>(count - 1 - *it)] : Row{"_"});
    }
    return out;
}

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
        out += (out.empty() ? "" : " ") + row.name + (row.pinned ? "*" : "");
    return out;
}

// With up to eight rows every pin pattern is reached, so no sequence of
// operations can lead anywhere these cases do not cover.
TEST(RowRules, EveryPinPatternOfUpToEightRowsFollowsTheReference) {
    for (int n = 0; n <= 8; ++n)
        for (unsigned mask = 0; mask < (1u << n); ++mask) {
            Rows rows;
            for (int i = 0; i < n; ++i)
                rows.push_back({std::to_string(i + 1), (mask >> i & 1u) != 0});
            SCOPED_TRACE(show(rows));
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
                          reference::deleted(rows, a, Row{"_"}))
                    << "delete row " << a;
            }
        }
}

// Worked cases, as the rules are explained to users.
TEST(RowRules, WorkedCases) {
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
        Rows rows = letters(c.before);
        if (c.op == '+') {
            rows.insert(rows.begin(), Row{"N"});
            rows = applied(rows, rows::afterAdd(pinnedBySlot(rows)));
        } else if (c.op == 'm') {
            rows = applied(rows, rows::afterMove(pinnedBySlot(rows), c.a, c.b));
        } else {
            rows = applied(rows, rows::afterDelete(pinnedBySlot(rows), int(rows.size()) - c.a));
        }
        EXPECT_EQ(show(rows), c.after) << c.before << " " << c.op << c.a;
    }
}

}  // namespace
}  // namespace tarnwick
