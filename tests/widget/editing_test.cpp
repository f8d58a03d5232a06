#include <QScrollArea>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

class EditingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        harness.start();
        ASSERT_TRUE(harness.copyAndExpect("c", {"c"}));
        ASSERT_TRUE(harness.copyAndExpect("b", {"b", "c"}));
        ASSERT_TRUE(harness.copyAndExpect("a", {"a", "b", "c"}));
    }
};

TEST_F(EditingTest, ClickSelectsTheWholeText) {
    click(copied(2));
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().textCursor().selectedText(), "b");
    EXPECT_EQ(editor().geometry(), doc().qtRect(copied(2)));
}

TEST_F(EditingTest, TypingInRowOneRewritesEntryZeroAndTheClipboardEveryKeystroke) {
    click(copied(1));
    const QString typed = QStringLiteral("hey");
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(&editor(), typed.at(i).toLatin1());
        const QString expected = typed.left(i + 1);
        EXPECT_EQ(engine().bufferArray[0], expected);
        EXPECT_EQ(clipboard(), expected);
        EXPECT_EQ(copied(1)->stringValue(), expected);
    }
    EXPECT_TRUE(engine().updateBuffer.value());
    // Our own clipboard writes are not taken for new copies.
    harness.pumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(engine().bufferArray, QStringList({"hey", "b", "c"}));
}

TEST_F(EditingTest, ReturnAddsALineFeedAndEditingGoesOn) {
    click(copied(1));
    QTest::keyClick(&editor(), Qt::Key_End);
    QTest::keyClick(&editor(), Qt::Key_Return);
    type(QStringLiteral("z"));
    EXPECT_EQ(engine().bufferArray[0], "a\nz");
    EXPECT_EQ(clipboard(), "a\nz");
    EXPECT_EQ(doc().editingField(), copied(1));
}

TEST_F(EditingTest, CutInRowOneLeavesTheCutPartForTheNextPoll) {
    ASSERT_TRUE(harness.copyAndExpect("hello world", {"hello world", "a", "b", "c"}));
    click(copied(1));
    QTextCursor cursor = editor().textCursor();
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    editor().setTextCursor(cursor);
    engine().history().noteCut();  // what the key filter does for every command + X
    QTest::keyClick(&editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(engine().bufferArray[0], "hello ");
    EXPECT_EQ(clipboard(), "world");
    EXPECT_FALSE(engine().history().cutNoted());
    EXPECT_TRUE(harness.pumpUntil([&] { return engine().bufferArray.size() == 5; }));
    EXPECT_EQ(engine().bufferArray, QStringList({"world", "hello ", "a", "b", "c"}));
}

TEST_F(EditingTest, ARefusedClipboardWriteIsReportedAndTheEditKept) {
    click(copied(1));
    harness.pasteboard.refuseWrites = true;
    testing::internal::CaptureStdout();
    type(QStringLiteral("q"));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "failed edit pasteboard\n");
    EXPECT_EQ(engine().bufferArray[0], "q");
    EXPECT_TRUE(engine().updateBuffer.value());
}

TEST_F(EditingTest, ClickOnTheWindowBackgroundEndsEditingAndCommitsTheIndexEdit) {
    IndexTextField* moved = index(2);
    click(moved);
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, moved);
    type(QStringLiteral("7"));
    // Below the rows: the click reaches the window itself.
    const QPoint below(20, doc().height() + 40);
    QTest::mouseClick(ui.scrollView->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
    EXPECT_EQ(doc().editingField(), nullptr);
    EXPECT_FALSE(editor().isVisible());
    // Row 7 of three is the last row; the layout renumbered the moved row.
    EXPECT_EQ(engine().bufferArray, QStringList({"a", "c", "b"}));
    EXPECT_EQ(moved, index(3));
    EXPECT_EQ(moved->stringValue(), "3");

    click(copied(1));
    QTest::mouseClick(ui.helpWindow, Qt::RightButton, Qt::NoModifier, QPoint(395, 10));
    EXPECT_EQ(doc().editingField(), nullptr);
}

TEST_F(EditingTest, ReturnInAnIndexFieldCommitsIt) {
    IndexTextField* moved = index(3);
    click(moved);
    type(QStringLiteral("1"));
    EXPECT_EQ(moved->stringValue(), "1");
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(engine().bufferArray, QStringList({"c", "a", "b"}));
    EXPECT_EQ(clipboard(), "c");
    EXPECT_EQ(moved, index(1));
    EXPECT_EQ(moved->stringValue(), "1");
    // Return leaves the edit pending; the next click commits it once more.
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, moved);
}

}  // namespace
}  // namespace tarnwick::test
