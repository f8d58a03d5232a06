// Deleting one row or every row through the real menus of both row fields.
#include "ordering_fixture.h"

namespace tarnwick::test {
namespace {

enum class From { copiedMenu, indexMenu };

struct DeleteCase {
    const char* before;
    int row;  // the row deleted
    const char* after;
    From from = From::copiedMenu;
};

const DeleteCase deleteCases[] = {
    {"A B C* D E", 2, "A D C* E"},
    {"A B C* D* E F", 2, "A E C* D* F", From::indexMenu},
    {"A B C* D*", 2, "A _ C* D*"},
    {"A B C D*", 2, "A C _ D*", From::indexMenu},
    {"A B C D* E F*", 2, "A C E D* _ F*"},
    {"A B* C", 1, "C B*", From::indexMenu},
    {"A B C*", 3, "A B"},
    {"A", 1, "", From::indexMenu},
    {"A B C D", 2, "A C D"},
    {"A B C D", 4, "A B C", From::indexMenu},
    {"A* B C", 1, "B C"},
    {"A* B* C*", 2, "A* _ C*"},
    {"A B* C D* E*", 1, "C B* _ D* E*", From::indexMenu},
};

class DeleteTable : public RowsTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTable, RowsCloseTheGapAroundPinnedRows) {
    const DeleteCase& c = GetParam();
    setRows(QString::fromUtf8(c.before));
    const double height = doc().frameHeight();
    const int rowsBefore = doc().count() / 2;
    RowField* field = c.from == From::copiedMenu ? static_cast<RowField*>(copied(c.row))
                                                 : static_cast<RowField*>(index(c.row));
    choose(field, QStringLiteral("Delete"));

    const QString after = QString::fromUtf8(c.after);
    EXPECT_EQ(shownRows(), after);
    expectInvariants();
    const int rowsAfter = doc().count() / 2;
    EXPECT_EQ(doc().frameHeight(), height - (rowsBefore - rowsAfter) * tfHt);
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
    EXPECT_EQ(alert.beeps, 0);
    if (after.isEmpty()) {
        EXPECT_TRUE(engine().bufferArray.isEmpty());
        EXPECT_EQ(clipboard(), std::nullopt);
    } else {
        // Cleared and written anew, even when entry 0 stayed the same.
        EXPECT_EQ(clipboardWrites(), 1);
        EXPECT_EQ(clipboard(), engine().bufferArray.first());
    }
    EXPECT_TRUE(engine().updateBuffer.value());
}

INSTANTIATE_TEST_SUITE_P(RowDeletes, DeleteTable, testing::ValuesIn(deleteCases));

TEST_F(RowsTest, DeleteAllFromEitherMenuEmptiesEverything) {
    for (const From from : {From::indexMenu, From::copiedMenu}) {
        setRows(QStringLiteral("A B* C D"));
        RowField* field = from == From::indexMenu ? static_cast<RowField*>(index(3))
                                                  : static_cast<RowField*>(copied(2));
        choose(field, QStringLiteral("Delete All"));
        EXPECT_EQ(doc().count(), 0);
        EXPECT_TRUE(engine().bufferArray.isEmpty());
        EXPECT_EQ(clipboard(), std::nullopt);
        EXPECT_EQ(doc().frameHeight(), 6);
        EXPECT_EQ(doc().height(), 6);
        EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
        EXPECT_EQ(doc().editingField(), nullptr);
        // A later click commits nothing: no sound, nothing written.
        const int writes = harness.pasteboard.writes.size();
        clickOnWindow();
        EXPECT_EQ(alert.beeps, 0);
        EXPECT_EQ(harness.pasteboard.writes.size(), writes);
    }
}

TEST_F(RowsTest, AfterDeleteAllTheNextCopyStartsANewHistory) {
    harness.start();
    ASSERT_TRUE(harness.copyAndExpect("one", {"one"}));
    ASSERT_TRUE(harness.copyAndExpect("two", {"two", "one"}));
    choose(copied(1), QStringLiteral("Delete All"));
    // The clipboard is empty now: polling adds nothing.
    harness.pumpFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(engine().bufferArray.isEmpty());
    ASSERT_TRUE(harness.copyAndExpect("three", {"three"}));
    EXPECT_EQ(doc().frameHeight(), 6 + tfHt);
    expectInvariants();
}

// A typed row number pending in another index field is dropped, not committed.
TEST_F(RowsTest, DeleteDropsThePendingIndexEdit) {
    setRows(QStringLiteral("A B C D"));
    QMenu& menu = menuOf(copied(2));
    click(index(4));
    typeKeys(QStringLiteral("1"));
    ASSERT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, index(4));
    item(menu, QStringLiteral("Delete"))->trigger();
    EXPECT_EQ(shownRows(), "A C D");
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
    clickOnWindow();
    EXPECT_EQ(shownRows(), "A C D");
    EXPECT_EQ(alert.beeps, 0);
}

// The menu acts on its own row even after that row moved.
TEST_F(RowsTest, AnIndexMenuDeletesItsOwnRowAfterAMove) {
    setRows(QStringLiteral("A B C D"));
    QMenu& menu = menuOf(index(2));
    click(index(2));
    typeKeys(QStringLiteral("4"));
    QTest::keyClick(&editor(), Qt::Key_Return);
    ASSERT_EQ(shownRows(), "A C D B");
    item(menu, QStringLiteral("Delete"))->trigger();
    EXPECT_EQ(shownRows(), "A C D");
    expectInvariants();
}

// Deleting an expanded row takes its whole height out of the document, and with
// a filler row in its place all but one collapsed row's height.
TEST_F(RowsTest, DeletingAnExpandedRowLeavesNoBlankSpace) {
    struct Case {
        const char* before;
        const char* after;
        double shrink;
    };
    const Case cases[] = {
        {"A B\n1\n2 C", "A C", tfHt + 2 * labelHt},
        {"A B\n1\n2 C* D*", "A _ C* D*", 2 * labelHt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        if (doc().count() > 0) choose(copied(1), QStringLiteral("Delete All"));
        setRows(QString::fromUtf8(c.before));
        pressExpandButton(copied(2));
        ASSERT_EQ(copied(2)->frame.height, tfHt + 2 * labelHt);
        const double height = doc().frameHeight();
        choose(copied(2), QStringLiteral("Delete"));
        EXPECT_EQ(shownRows(), c.after);
        EXPECT_EQ(doc().frameHeight(), height - c.shrink);
        expectInvariants();
        const RowField* last = copied(doc().count() / 2);
        EXPECT_EQ(doc().qtRect(last).bottom() + 1, doc().height() - gapAroundCopiedText);
    }
}

TEST_F(RowsTest, TheFillerRowIsAnOrdinaryRow) {
    setRows(QStringLiteral("A B C*"));
    choose(copied(1), QStringLiteral("Delete"));
    ASSERT_EQ(shownRows(), "B _ C*");
    click(copied(2));
    typeKeys(QStringLiteral("f"));
    EXPECT_EQ(shownRows(), "B f C*");
    choose(index(2), QStringLiteral("Pin"));
    EXPECT_EQ(shownRows(), "B f* C*");
    choose(copied(1), QStringLiteral("Delete"));
    EXPECT_EQ(shownRows(), "_ f* C*");
    EXPECT_EQ(clipboard(), QString());
    expectInvariants();
}

}  // namespace
}  // namespace tarnwick::test
