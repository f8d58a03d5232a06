// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QApplication>

#include "WindowFixture.h"
#include "ui/MyToggleButton.h"

namespace tarnwick::test {
namespace {

// Three rows "a", "b", "c" copied through the polling engine.
class EditingTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        harness.start();
        ASSERT_TRUE(harness.copyAndExpect("c", {"c"}));
        ASSERT_TRUE(harness.copyAndExpect("b", {"b", "c"}));
        ASSERT_TRUE(harness.copyAndExpect("a", {"a", "b", "c"}));
        // Keyboard focus exists only in the active window.
        ui.helpWindow->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(ui.helpWindow));
    }
};

TEST_F(EditingTest, ClickOutsideCommitsTheTypedNumberAndEscapeTakesItBack) {
    click(2, Part::number);
    type(QStringLiteral("7"));
    // Below the rows the click reaches the window itself.
    QTest::mouseClick(view().viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, view().rowRect(3).bottom() + 40));
    EXPECT_EQ(view().pendingRow(), 0);
    EXPECT_EQ(view().editor(), nullptr);
    EXPECT_EQ(engine().bufferArray, QStringList({"a", "c", "b"}));  // row 7 of three is row 3
    click(1, Part::text);
    QTest::mouseClick(ui.helpWindow, Qt::RightButton, Qt::NoModifier, QPoint(395, 10));
    EXPECT_EQ(view().editor(), nullptr);
    // Nor does a toggle clicked before keep the keyboard.
    QTest::mouseClick(ui.ctrlButton, Qt::LeftButton);
    ASSERT_TRUE(ui.ctrlButton->hasFocus());
    clickOnWindow();
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    // A three-digit number in a one-digit row number shows whole and Escape
    // takes it back; a tab is as narrow as the row draws it.
    click(1, Part::number);
    type(QStringLiteral("123"));
    EXPECT_GE(editor().cursorRect(QTextCursor(editor().document())).left(), 0);
    QTest::keyClick(&editor(), Qt::Key_Escape);
    EXPECT_EQ(view().editor(), nullptr);
    clickOnWindow();
    EXPECT_EQ(engine().bufferArray, QStringList({"a", "c", "b"}));
    EXPECT_EQ(alert.beeps, 0);
    engine().history().edit(2, QStringLiteral("\tb"));
    click(2, Part::text);
    QTextCursor cursor(editor().document());
    const int start = editor().cursorRect(cursor).left();
    cursor.movePosition(QTextCursor::NextCharacter);
    const int tab = editor().cursorRect(cursor).left() - start;
    EXPECT_GT(tab, 0);
    EXPECT_LE(tab, editor().fontMetrics().horizontalAdvance(QLatin1Char(' ')));
}

// A second click in a row number selects it again, and a copy arriving while a
// number is typed keeps it. Tab, like a click outside the rows, commits.
TEST_F(EditingTest, TheTypedRowNumberIsTheOneCommittedAndTabCommitsIt) {
    click(3, Part::number);
    click(3, Part::number);
    type(QStringLiteral("1"));
    QTest::keyClick(&editor(), Qt::Key_Tab);
    EXPECT_EQ(view().editor(), nullptr);
    EXPECT_EQ(engine().bufferArray, QStringList({"c", "a", "b"}));
    EXPECT_EQ(view().pendingRow(), 0);
    click(3, Part::number);
    type(QStringLiteral("1"));
    ASSERT_TRUE(harness.copyAndExpect("d", {"d", "c", "a", "b"}));
    EXPECT_EQ(editor().toPlainText(), "1");
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(engine().bufferArray, QStringList({"b", "d", "c", "a"}));
}

// Every row action by keyboard, and the states a screen reader hears.
TEST_F(EditingTest, TheRowsWorkByKeyboardAlone) {
    ui.cmdButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui.cmdButton, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &view());
    QTest::keyClick(&view(), Qt::Key_Down);
    EXPECT_EQ(view().current(), 2);
    QTest::keyClick(&view(), Qt::Key_Return);
    EXPECT_EQ(view().editingRow(), 2);
    EXPECT_EQ(view().editingPart(), Part::text);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view());
    EXPECT_TRUE(list->child(3)->state().focused && !list->child(2)->state().focused);
    QTest::keyClick(&editor(), Qt::Key_Escape);
    ASSERT_EQ(QApplication::focusWidget(), &view());
    QTest::keyClick(&view(), Qt::Key_3);
    EXPECT_EQ(view().editingPart(), Part::number);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(engine().bufferArray, QStringList({"a", "c", "b"}));
    EXPECT_EQ(view().editingRow(), 3);  // the editor goes with its row
    QTest::keyClick(&editor(), Qt::Key_Escape);
    engine().history().edit(1, QStringLiteral("x\ny"));
    engine().history().setPinned(1, true);
    QTest::keyClick(&view(), Qt::Key_Up);
    QTest::keyClick(&view(), Qt::Key_Right);
    EXPECT_TRUE(view().isExpanded(1));
    EXPECT_TRUE(list->child(0)->state().checked);
    EXPECT_TRUE(list->child(1)->state().expanded && list->child(1)->state().editable);
    EXPECT_EQ(list->child(1)->child(0)->text(QAccessible::Name), "Collapse");
    EXPECT_EQ(list->child(1)->indexOfChild(list->child(0)), -1);  // not its child
    QTest::keyClick(&view(), Qt::Key_Left);
    EXPECT_FALSE(view().isExpanded(1));
    EXPECT_EQ(list->child(1)->child(0)->text(QAccessible::Name), "Expand");
    for (const auto& [key, mods] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        if (view().editor()) QTest::keyClick(view().editor(), Qt::Key_Escape);
        QTest::keyClick(&view(), key, mods);
        ASSERT_NE(view().textMenu(1), nullptr);
        EXPECT_TRUE(view().textMenu(1)->isVisible());
        view().textMenu(1)->hide();
    }
}

// A line too long for the editor to show whole: a key typed into it keeps the
// rest of the text, and selecting all takes the whole text, to copy or replace.
TEST_F(WindowTest, AnEditOfATooLongLineKeepsAllOfItAndSelectingAllTakesAllOfIt) {
    const QString line = QString(2 * FieldEditor::longestShownLine, QLatin1Char('x')) + "\nend";
    addRows({line, QStringLiteral("top")});
    click(2, Part::text);
    QTest::keyClick(&editor(), Qt::Key_Home);
    type(QStringLiteral("a"));
    EXPECT_EQ(engine().history().text(2), "a" + line);
    QTest::keyClick(&editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "a" + line);
    type(QStringLiteral("b"));
    EXPECT_EQ(engine().history().text(2), "b");
    // Nothing to undo: the shown part alone would come back.
    QTest::keyClick(&editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(engine().history().text(2), "b");
}

}  // namespace
}  // namespace tarnwick::test
