#include <QMenu>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

TEST_F(WindowTest, CopiedFieldMenuIsBuiltOnceWithItsItemsInOrder) {
    addRows({"text"});
    EXPECT_EQ(copied(1)->myMenu, nullptr);
    click(copied(1), Qt::RightButton);
    ASSERT_NE(copied(1)->myMenu, nullptr);
    QMenu* menu = copied(1)->myMenu.get();
    EXPECT_EQ(menu->title(), "CopiedTFMenu");
    EXPECT_EQ(menuTitles(*menu),
              QStringList({"Cut", "Copy", "Paste", "---", "Delete", "Delete All"}));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    click(copied(1), Qt::RightButton);
    EXPECT_EQ(copied(1)->myMenu.get(), menu);
    menu->hide();
}

TEST_F(WindowTest, CutCopyPastePostTheCommandChords) {
    addRows({"text"});
    click(copied(1), Qt::RightButton);
    QMenu* menu = copied(1)->myMenu.get();
    menu->hide();
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
    const QPoint inEditor = editor().viewport()->rect().center();
    QTest::mouseClick(editor().viewport(), Qt::RightButton, Qt::NoModifier, inEditor);
    ASSERT_NE(copied(1)->myMenu, nullptr);
    EXPECT_TRUE(copied(1)->myMenu->isVisible());
    EXPECT_EQ(editor().textCursor().selectedText(), "hello");
    copied(1)->myMenu->hide();
}

TEST_F(WindowTest, RightClickStartsEditingWithoutSelecting) {
    addRows({"hello"});
    click(copied(1), Qt::RightButton);
    EXPECT_EQ(doc().editingField(), copied(1));
    EXPECT_FALSE(editor().textCursor().hasSelection());
    copied(1)->myMenu->hide();
}

TEST_F(WindowTest, IndexFieldMenuHasPinOnlyUpToRowTen) {
    QStringList texts;
    for (int i = 0; i < 11; ++i) texts << QString::number(i);
    addRows(texts);
    click(index(10), Qt::RightButton);
    EXPECT_EQ(menuTitles(*index(10)->myMenu), QStringList({"Delete", "Delete All", "---", "Pin"}));
    index(10)->myMenu->hide();
    click(index(11), Qt::RightButton);
    EXPECT_EQ(menuTitles(*index(11)->myMenu), QStringList({"Delete", "Delete All"}));
    index(11)->myMenu->hide();
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, index(11));

    index(10)->myMenu->actions().at(3)->trigger();
    EXPECT_TRUE(index(10)->pinned);
    EXPECT_EQ(index(10)->myMenu->actions().at(3)->text(), "Unpin");
    index(10)->togglePinned();
    EXPECT_FALSE(index(10)->pinned);
    EXPECT_EQ(index(10)->myMenu->actions().at(3)->text(), "Pin");
}

TEST_F(WindowTest, PointerShapeFollowsTheField) {
    addRows({"hello"});
    QTest::mouseMove(&doc(), centre(copied(1)));
    EXPECT_EQ(doc().cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(&doc(), QPoint(5, doc().height() - 1));
    EXPECT_EQ(doc().cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace tarnwick::test
