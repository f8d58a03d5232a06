// SPDX-License-Identifier: MIT
// The window as a whole: what the first help builds, the layout as the real
// widgets get it, the menus, and what a screen reader is told about the rows.
#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/ToolTip.h"

namespace tarnwick::test {
namespace {

// The first help shows the window with only the command toggle on. (Its title,
// and where the list ends, are checked on the real binary.)
TEST_F(WindowTest, FirstHelpLaysOutTheWindowTheScrollerComesWithTheRowsAndTheyAreReadable) {
    EXPECT_EQ(ui.helpWindow->minimumSize(), QSize(200, 200));
    EXPECT_TRUE(ui.cmdEnabled());
    EXPECT_FALSE(ui.fnEnabled() || ui.ctrlEnabled());
    ui.helpWindow->resize(400, 500);
    EXPECT_EQ(ui.helpWindow->contentSubviews[3]->y(), 5);  // the toggles beside the label
    EXPECT_EQ(doc().width(), 400 - 10);
    QStringList texts;
    for (int i = 0; i < 30; ++i) texts << QString::number(i);
    addRows(texts);
    EXPECT_EQ(doc().width(), 400 - 5 - ui.scrollView->verticalScrollBar()->sizeHint().width());
    // A screen reader is told the rows.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&doc());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_GE(list->childCount(), 4);
    const QString expected[][2] = {
        {"1", "Row 1 number"}, {"29", "Row 1"}, {"2", "Row 2 number"}, {"28", "Row 2"}};
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* child = list->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->text(QAccessible::Value), expected[i][0]) << i;
        EXPECT_EQ(child->text(QAccessible::Name), expected[i][1]) << i;
        EXPECT_EQ(list->indexOfChild(child), i);
    }
}

// The modifier keys' tool tip wraps at a readable width instead of running
// across the screen on one line.
TEST_F(WindowTest, TheToolTipWraps) {
    QWidget* toggle = ui.helpWindow->contentSubviews[1];
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), toggle->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(toggle, &hover);
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible()) tip = w;
    ASSERT_NE(tip, nullptr);
    EXPECT_LE(tip->width(), 600) << tip->width();
    EXPECT_GE(tip->height(), 3 * tip->fontMetrics().lineSpacing());
    EXPECT_EQ(static_cast<QLabel*>(tip)->text().replace('\n', ' '), toolTipTxt);
}

// The text pointer shows over a field only. A right click starts editing
// without selecting; on a field being edited it reaches the field through the
// editor and keeps the selection.
TEST_F(WindowTest, CopiedFieldTakesTheTextPointerAndBuildsItsMenuOnce) {
    addRows({"hello"});
    QTest::mouseMove(&doc(), doc().qtRect(copied(1)).center());
    EXPECT_EQ(doc().cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(&doc(), QPoint(5, doc().height() - 1));
    EXPECT_EQ(doc().cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(copied(1)->myMenu, nullptr);
    click(copied(1), Qt::RightButton);
    QMenu* menu = copied(1)->myMenu.get();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(doc().editingField(), copied(1));
    EXPECT_FALSE(editor().textCursor().hasSelection());
    menu->hide();
    select(0, 3);
    QTest::mouseClick(editor().viewport(), Qt::RightButton, Qt::NoModifier,
                      editor().viewport()->rect().center());
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(editor().textCursor().selectedText(), "hel");
    EXPECT_EQ(&menuOf(copied(1)), menu);
    QStringList titles;
    for (const QAction* action : menu->actions()) titles << action->text();
    EXPECT_EQ(titles, QStringList({"Cut", "Copy", "Paste", "", "Delete", "Delete All"}));
    for (int i : {0, 1, 2}) menu->actions().at(i)->trigger();
    EXPECT_EQ(keySender.posted, (std::vector<int>{keycode::X, keycode::C, keycode::V}));
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
