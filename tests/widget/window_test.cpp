// The window as a whole: what the first help builds, the layout as the real
// widgets get it, and what a screen reader is told about the rows.
#include <QAccessible>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

TEST_F(WindowTest, FirstHelpShowsTheWindowWithCommandOn) {
    EXPECT_TRUE(ui.helpWindow->isVisible());
    EXPECT_EQ(ui.helpWindow->windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_EQ(ui.helpWindow->minimumSize(), QSize(200, 200));
    EXPECT_TRUE(ui.cmdEnabled());
    EXPECT_FALSE(ui.fnEnabled() || ui.ctrlEnabled());
}

TEST_F(WindowTest, LayoutPutsTheScrollViewFiveAboveTheBottomAndTakesTheScroller) {
    ui.helpWindow->resize(400, 500);
    const auto& views = ui.helpWindow->contentSubviews;
    EXPECT_EQ(views[3]->y(), 5);  // the toggles beside the label
    EXPECT_EQ(ui.scrollView->geometry().bottom() + 1, 500 - 5 + (views[3]->height() - 16));
    EXPECT_EQ(ui.scrollView->height(), 500 - 48 - 10);
    EXPECT_EQ(doc().width(), 400 - 10);
    QStringList texts;
    for (int i = 0; i < 30; ++i) texts << QString::number(i);
    addRows(texts);
    EXPECT_EQ(doc().width(), 400 - 5 - ui.scrollView->verticalScrollBar()->sizeHint().width());
}

TEST_F(WindowTest, RowsAreReadableByScreenReaders) {
    addRows({"first", "second"});
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&doc());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_GE(list->childCount(), 4);
    const QString expected[][2] = {
        {"1", "Row 1"}, {"second", "Row 1"}, {"2", "Row 2"}, {"first", "Row 2"}};
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* child = list->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->text(QAccessible::Value), expected[i][0]) << i;
        EXPECT_TRUE(child->text(QAccessible::Name).startsWith(expected[i][1])) << i;
        EXPECT_EQ(list->indexOfChild(child), i);
    }
}

}  // namespace
}  // namespace tarnwick::test
