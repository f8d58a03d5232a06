#include <gtest/gtest.h>

#include <string>

#include "row_order_letters.h"
#include "ui/RowOrder.h"

namespace tarnwick::testing {
namespace {

using rows::OrderCommit;
using Kind = OrderCommit::Kind;

// ---- A new row arrives on top -------------------------------------------

struct AddCase {
    std::string before, after;
};

class AddRow : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddRow, PinnedRowsKeepTheirRowNumbers) {
    LetterRows rows = letters(GetParam().before);
    rows.bySlot.push_back("N");  // the new row goes on top first
    EXPECT_EQ(toString(applied(rows, rows::afterAdd(rows.pinnedBySlot()))), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Table, AddRow,
                         ::testing::Values(AddCase{"", "N"},                 //
                                           AddCase{"A B C", "N A B C"},      // no pins
                                           AddCase{"C B* A", "N B* C A"},    // one pin
                                           AddCase{"C B* A*", "N B* A* C"},  // run at bottom
                                           AddCase{"A B* C* D*", "N B* C* D* A"},
                                           AddCase{"A* B", "A* N B"},  // row 1 pinned
                                           AddCase{"A* B*", "A* B* N"},
                                           AddCase{"A* B C* D* E F*", "A* N C* D* B F* E"},
                                           AddCase{"A B* C D* E* F", "N B* A D* E* C F"}));

// ---- Committing a typed row number ---------------------------------------

struct MoveCase {
    std::string before, typedInto, typed, after;
    Kind kind;
    bool touchesNewest;
};

class TypedRowNumber : public ::testing::TestWithParam<MoveCase> {};

TEST_P(TypedRowNumber, MovesTheRowAndKeepsPinnedRows) {
    const MoveCase& c = GetParam();
    const LetterRows rows = letters(c.before);
    const OrderCommit commit = rows::decideOrderCommit(
        QString::fromStdString(c.typed), rows.pinnedBySlot(), rows.rowOf(c.typedInto));
    ASSERT_EQ(commit.kind, c.kind);
    EXPECT_EQ(commit.touchesNewest(), c.touchesNewest);
    if (commit.kind != Kind::move) return;
    EXPECT_EQ(commit.fromRow, rows.rowOf(c.typedInto));
    const auto order = rows::afterMove(rows.pinnedBySlot(), commit.fromRow, commit.toRow);
    EXPECT_EQ(toString(applied(rows, order)), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypedRowNumber,
    ::testing::Values(MoveCase{"A B C D E", "E", "2", "A E B C D", Kind::move, false},
                      MoveCase{"A B C* D E", "E", "2", "A E C* B D", Kind::move, false},
                      MoveCase{"A B C* D E", "A", "4", "B D C* A E", Kind::move, true},
                      MoveCase{"A B C* D E", "D", "3", "", Kind::rejected, false},
                      MoveCase{"A B C* D* E", "B", "5", "A E C* D* B", Kind::move, false},
                      MoveCase{"A B* C D* E", "E", "1", "E B* A D* C", Kind::move, true},
                      MoveCase{"A B C D E", "C", "99", "A B D E C", Kind::move, false},
                      MoveCase{"A B C D E", "C", "0", "C A B D E", Kind::move, true},
                      MoveCase{"A B C D E", "C", "-7", "C A B D E", Kind::move, true},
                      MoveCase{"A B C* D E", "C", "3", "", Kind::unchanged, false},
                      MoveCase{"A B C* D E", "C", "1", "C* A B D E", Kind::move, true},
                      MoveCase{"A B C D E", "C", "+2", "A C B D E", Kind::move, false},
                      MoveCase{"A B C D E", "A", "007", "B C D E A", Kind::move, true},
                      MoveCase{"A B C D E", "C", "2 ", "", Kind::rejected, false},
                      MoveCase{"A B C D E", "C", "x", "", Kind::rejected, false},
                      // Own row number: nothing moves, but the history is still rewritten.
                      MoveCase{"A B C D E", "A", "1", "A B C D E", Kind::move, true},
                      MoveCase{"A B C D E", "C", "3", "A B C D E", Kind::move, false},
                      MoveCase{"A", "A", "5", "A", Kind::move, true},
                      MoveCase{"A*", "A", "5", "", Kind::unchanged, false},
                      MoveCase{"A* B C", "C", "-1", "", Kind::rejected, false},
                      MoveCase{"A B* C* D E", "E", "1", "E B* C* A D", Kind::move, true},
                      MoveCase{"A B* C* D E", "A", "4", "D B* C* A E", Kind::move, true}));

// ---- Deleting one row ------------------------------------------------------

struct DeleteCase {
    std::string before, deleted, after;
};

class DeleteRow : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteRow, OlderRowsCloseTheGapAroundPinnedRows) {
    const LetterRows rows = letters(GetParam().before);
    const auto order = rows::afterDelete(rows.pinnedBySlot(), rows.slotOf(GetParam().deleted));
    EXPECT_EQ(toString(applied(rows, order)), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeleteRow,
    ::testing::Values(DeleteCase{"A B C* D E", "B", "A D C* E"},
                      DeleteCase{"A B C* D* E F", "B", "A E C* D* F"},
                      DeleteCase{"A B C* D*", "B", "A _ C* D*"},
                      DeleteCase{"A B C D*", "B", "A C _ D*"},
                      DeleteCase{"A B C D* E F*", "B", "A C E D* _ F*"},
                      DeleteCase{"A B* C", "A", "C B*"}, DeleteCase{"A B C*", "C", "A B"},
                      DeleteCase{"A", "A", ""}, DeleteCase{"A B C D", "B", "A C D"},
                      DeleteCase{"A B C D", "D", "A B C"}, DeleteCase{"A* B C", "A", "B C"},
                      DeleteCase{"A B* C*", "A", "_ B* C*"}, DeleteCase{"A* B*", "B", "A*"}));

}  // namespace
}  // namespace tarnwick::testing
