#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

TEST_F(WindowTest, CopiedFieldMenuIsBuiltOnceAndPostsTheCommandChords) {
    addRows({"hello"});
    EXPECT_EQ(copied(1)->myMenu, nullptr);
    click(copied(1), Qt::RightButton);
    QMenu* menu = copied(1)->myMenu.get();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    // A right click starts editing without selecting.
    EXPECT_EQ(doc().editingField(), copied(1));
    EXPECT_FALSE(editor().textCursor().hasSelection());
    QStringList titles;
    for (const QAction* action : menu->actions()) titles << action->text();
    EXPECT_EQ(titles, QStringList({"Cut", "Copy", "Paste", "", "Delete", "Delete All"}));
    EXPECT_EQ(&menuOf(copied(1)), menu);
    for (int i : {0, 1, 2}) menu->actions().at(i)->trigger();
    EXPECT_EQ(keySender.posted, (std::vector<int>{keycode::X, keycode::C, keycode::V}));
}

TEST_F(WindowTest, RightClickKeepsTheSelectionOfAFieldBeingEdited) {
    addRows({"hello world"});
    click(copied(1));
    QTextCursor cursor = editor().textCursor();
    cursor.setPosition(0);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    editor().setTextCursor(cursor);
    // The right click lands on the field editor, which passes it to the field.
    QTest::mouseClick(editor().viewport(), Qt::RightButton, Qt::NoModifier,
                      editor().viewport()->rect().center());
    ASSERT_NE(copied(1)->myMenu, nullptr);
    EXPECT_TRUE(copied(1)->myMenu->isVisible());
    EXPECT_EQ(editor().textCursor().selectedText(), "hello");
    copied(1)->myMenu->hide();
}

TEST_F(WindowTest, PointerShapeFollowsTheField) {
    addRows({"hello"});
    QTest::mouseMove(&doc(), doc().qtRect(copied(1)).center());
    EXPECT_EQ(doc().cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(&doc(), QPoint(5, doc().height() - 1));
    EXPECT_EQ(doc().cursor().shape(), Qt::ArrowCursor);
}

// A menu opened earlier deletes its row while another row's number is being
// typed: the typed number is dropped, never committed, and the edit goes on.
TEST_F(WindowTest, DeleteDropsThePendingIndexEdit) {
    addRows({"D", "C", "B", "A"});
    QMenu& menu = menuOf(copied(2));
    click(index(4));
    type(QStringLiteral("1"));
    ASSERT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, index(4));
    menu.actions().at(4)->trigger();  // Delete
    EXPECT_EQ(doc().rowTexts(), QStringList({"A", "C", "D"}));
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
    EXPECT_EQ(doc().editingField(), index(3));
    clickOnWindow();
    EXPECT_EQ(doc().rowTexts(), QStringList({"A", "C", "D"}));
    EXPECT_EQ(alert.beeps, 0);
}

}  // namespace
}  // namespace tarnwick::test
