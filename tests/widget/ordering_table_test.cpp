// Moving rows by typing a row number into their index fields, through the real
// fields: a click on the index field, keys into the field editor, and Return or
// a click elsewhere to commit.
#include "ordering_fixture.h"

namespace tarnwick::test {
namespace {

enum class Commit { returnKey, windowClick, copiedClick, otherIndexClick };

struct OrderCase {
    const char* before;
    int row;  // the row typed into
    const char* typed;
    const char* after;
    bool beep;
    const char* clipboard;  // written anew with this text, or null: untouched
    Commit commit = Commit::returnKey;
};

// Every case starts with the clipboard holding row 1's text.
const OrderCase orderCases[] = {
    {"A B C D E", 5, "2", "A E B C D", false, nullptr},
    {"A B C* D E", 5, "2", "A E C* B D", false, nullptr, Commit::windowClick},
    {"A B C* D E", 1, "4", "B D C* A E", false, "B"},
    {"A B C* D E", 4, "3", "A B C* D E", true, nullptr},
    {"A B C* D* E", 2, "5", "A E C* D* B", false, nullptr, Commit::copiedClick},
    {"A B* C D* E", 5, "1", "E B* A D* C", false, "E"},
    {"A B C D E", 3, "99", "A B D E C", false, nullptr, Commit::otherIndexClick},
    {"A B C D E", 3, "0", "C A B D E", false, "C"},
    {"A B C D E", 3, "-4", "C A B D E", false, "C", Commit::windowClick},
    {"A B C* D E", 3, "3", "A B C* D E", false, nullptr},
    {"A B C* D E", 3, "1", "C* A B D E", false, "C"},
    {"A B C D E", 3, "+2", "A C B D E", false, nullptr},
    {"A B C D E", 1, "007", "B C D E A", false, "B"},
    {"A B C D E", 1, "1", "A B C D E", false, "A"},
    {"A B C D E", 3, "3", "A B C D E", false, nullptr, Commit::copiedClick},
    {"A", 1, "5", "A", false, "A"},
    {"A*", 1, "5", "A*", false, nullptr},
    {"A B C D E", 3, "-9223372036854775808", "C A B D E", false, "C"},
    {"A B C D E", 3, "9223372036854775807", "A B D E C", false, nullptr},
    // Not numbers: the alert sound, nothing moves, the number shows again.
    {"A B C D E", 3, "", "A B C D E", true, nullptr},
    {"A B C D E", 3, " 2", "A B C D E", true, nullptr},
    {"A B C D E", 3, "2 ", "A B C D E", true, nullptr, Commit::windowClick},
    {"A B C D E", 3, "x", "A B C D E", true, nullptr},
    {"A B C D E", 3, "\u0663", "A B C D E", true, nullptr},
    {"A B C D E", 3, "1e3", "A B C D E", true, nullptr, Commit::copiedClick},
    {"A B C D E", 3, "0x10", "A B C D E", true, nullptr},
    {"A B C D E", 3, "99999999999999999999", "A B C D E", true, nullptr},
    {"A B C D E", 3, "+", "A B C D E", true, nullptr},
    {"A B C D E", 3, "2+", "A B C D E", true, nullptr},
};

class OrderTable : public RowsTest, public testing::WithParamInterface<OrderCase> {
protected:
    void commit(Commit how, int typedRow) {
        switch (how) {
            case Commit::returnKey:
                QTest::keyClick(&editor(), Qt::Key_Return);
                break;
            case Commit::windowClick:
                clickOnWindow();
                break;
            case Commit::copiedClick:
                click(copied(typedRow == 1 ? 2 : 1));
                break;
            case Commit::otherIndexClick:
                click(index(typedRow == 1 ? 2 : 1));
                break;
        }
    }
};

TEST_P(OrderTable, TypedRowNumberMovesTheRow) {
    const OrderCase& c = GetParam();
    setRows(QString::fromUtf8(c.before));
    RowField* typedInto = index(c.row);
    click(typedInto);
    ASSERT_EQ(doc().editingField(), typedInto);
    ASSERT_EQ(editor().textCursor().selectedText(), QString::number(c.row));
    const QString typed = QString::fromUtf8(c.typed);
    if (typed.isEmpty()) QTest::keyClick(&editor(), Qt::Key_Backspace);
    typeKeys(typed);
    ASSERT_EQ(typedInto->stringValue(), typed);

    commit(c.commit, c.row);

    EXPECT_EQ(shownRows(), QString::fromUtf8(c.after));
    EXPECT_EQ(alert.beeps, c.beep ? 1 : 0);
    expectInvariants();
    if (c.clipboard) {
        EXPECT_EQ(clipboardWrites(), 1);
        EXPECT_EQ(clipboard(), QString::fromUtf8(c.clipboard));
    } else {
        EXPECT_EQ(clipboardWrites(), 0);
        EXPECT_EQ(clipboard(), parseRows(QString::fromUtf8(c.before)).texts.first());
    }
    EXPECT_TRUE(engine().updateBuffer.value()) << "polling must be resumed";
    // The moved field shows its new number; after Return it is still pending.
    const int now = rowmodel::rowNumber(doc().count(), doc().positionOf(typedInto));
    if (c.commit == Commit::returnKey) {
        EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, typedInto);
        EXPECT_EQ(editor().toPlainText(), QString::number(now));
    }
    EXPECT_EQ(typedInto->stringValue(), QString::number(now));
}

INSTANTIATE_TEST_SUITE_P(RowMoves, OrderTable, testing::ValuesIn(orderCases));

// Return leaves the field pending: the next click elsewhere commits it once
// more, which moves nothing because it shows its own number by then.
TEST_F(RowsTest, AClickAfterReturnCommitsTheSameFieldAgainWithoutAMove) {
    setRows(QStringLiteral("A B C D E"));
    click(index(5));
    typeKeys(QStringLiteral("2"));
    QTest::keyClick(&editor(), Qt::Key_Return);
    ASSERT_EQ(shownRows(), "A E B C D");
    click(copied(4));
    EXPECT_EQ(shownRows(), "A E B C D");
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
    EXPECT_EQ(alert.beeps, 0);
    EXPECT_EQ(clipboardWrites(), 0);
    expectInvariants();
}

// A second left click in the same index field commits its own text first.
TEST_F(RowsTest, ASecondClickInTheSameIndexFieldCommitsItAndSelectsAll) {
    setRows(QStringLiteral("A B C D E"));
    auto* field = index(4);
    click(field);
    typeKeys(QStringLiteral("1"));
    click(field);
    EXPECT_EQ(shownRows(), "D A B C E");
    EXPECT_EQ(clipboard(), "D");
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, field);
    EXPECT_EQ(editor().textCursor().selectedText(), "1");
}

// A refused clipboard write is reported; the moved row stays and polling goes on.
TEST_F(RowsTest, ARefusedClipboardWriteIsReportedAndTheMoveKept) {
    setRows(QStringLiteral("A B C"));
    click(index(3));
    typeKeys(QStringLiteral("1"));
    harness.pasteboard.refuseWrites = true;
    testing::internal::CaptureStdout();
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed edit pasteboard\n");
    EXPECT_EQ(shownRows(), "C A B");
    EXPECT_EQ(engine().bufferArray, QStringList({"C", "A", "B"}));
    EXPECT_TRUE(engine().updateBuffer.value());
}

// A move of row 1 while the polling thread runs: our own clipboard write is
// not taken for a new copy, and a later copy still arrives.
TEST_F(RowsTest, MovingRowOneWithPollingRunningAddsNothing) {
    harness.start();
    for (const char* text : {"C", "B", "A"}) ASSERT_TRUE(copyToRowOne(text));
    click(index(1));
    typeKeys(QStringLiteral("3"));
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(shownRows(), "B C A");
    harness.pumpFor(std::chrono::milliseconds(40));
    EXPECT_EQ(engine().bufferArray, QStringList({"B", "C", "A"}));
    ASSERT_TRUE(harness.copyAndExpect("N", {"N", "B", "C", "A"}));
}

}  // namespace
}  // namespace tarnwick::test
