// SPDX-License-Identifier: MIT
// The window as a whole: layout, painting, menus and what a screen reader finds.
#include <QAccessible>
#include <QApplication>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/Contrast.h"
#include "ui/Layout.h"
#include "ui/RowDelegate.h"
#include "ui/ToolTip.h"

namespace tarnwick::test {
namespace {

// The first help shows the window with only the command toggle on and the keyboard
// on the rows, where a Space switches nothing on; a later help un-minimises it.
TEST_F(WindowTest, FirstHelpLaysOutTheWindowTheScrollerComesWithTheRowsAndTheyAreReadable) {
    EXPECT_EQ(ui.helpWindow->minimumSize(), QSize(200, 200));
    ASSERT_TRUE(QTest::qWaitForWindowActive(ui.helpWindow));
    EXPECT_EQ(QApplication::focusWidget(), &view());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(ui.cmdEnabled());
    EXPECT_FALSE(ui.fnEnabled() || ui.ctrlEnabled());
    ui.helpWindow->resize(400, 500);
    EXPECT_EQ(ui.helpWindow->contentSubviews[3]->y(), 5);  // the toggles beside the label
    EXPECT_EQ(ui.helpWindow->contentSubviews[1]->toolTip(), modifierToolTip());
    // The rows end three short of the list's edges.
    EXPECT_EQ(view().viewport()->width(), 400 - 10 - 6);
    QStringList texts;
    for (int i = 0; i < 30; ++i) texts << QString::number(i);
    addRows(texts);
    EXPECT_EQ(view().viewport()->width(),
              400 - 5 - view().verticalScrollBar()->sizeHint().width() - 6);
    EXPECT_EQ(view().verticalScrollBar()->pageStep(), view().viewport()->height());
    // Every row in sight is painted, down to the bottom edge.
    const QImage shot = view().viewport()->grab().toImage();
    const QRect last = view().textRect(view().rowAtY(shot.height() - 1));
    bool inked = false;
    for (int x = last.left(); x < last.right(); ++x)
        inked |= shot.pixelColor(x, last.top() + 10).lightness() < 128;
    EXPECT_TRUE(inked);
    // The keyboard's row scrolls into sight, from above and from below.
    view().setCurrent(30);
    EXPECT_EQ(view().textRect(30).bottom(), view().viewport()->height() - 1);
    view().setCurrent(2);
    EXPECT_EQ(view().textRect(2).top(), 0);
    // A screen reader finds each row where the list says it is.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list->indexOfChild(list->child(i)), i);
    ui.helpWindow->showMinimized();
    ui.help();
    EXPECT_FALSE(ui.helpWindow->isMinimized());
}

// Started under a desktop font of 11 or 14 pt, the header's labels and toggles
// take the room their texts need.
TEST(WindowFont, TheHeaderFitsItsTextsAtLargerFonts) {
    const QFont before = QApplication::font();
    for (const int points : {11, 14}) {
        QApplication::setFont(QFont(before.family(), points));
        EngineHarness harness;
        FakeKeySender keySender;
        FakeAlert alert;
        UserInterface ui({harness.engine, keySender, alert});
        ui.help();
        for (int p = 0; p < layout::scroll; ++p) {
            const QWidget* item = ui.helpWindow->contentSubviews[p];
            EXPECT_TRUE(item->width() >= item->sizeHint().width() &&
                        item->height() >= item->sizeHint().height())
                << points << " pt, item " << p;
        }
    }
    QApplication::setFont(before);
}

// Under a dark theme a pinned row number reads 4.5:1 on its orange, also below
// an unpinned row, and the line between rows stands out 3:1 from the background.
TEST_F(WindowTest, PinnedNumbersAndDividersStayLegibleUnderADarkPalette) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Mid, QColor(0x2a, 0x2a, 0x2a));
    addRows({QStringLiteral("b"), QStringLiteral("a")});
    engine().history().setPinned(2, true);
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        ui.helpWindow->setPalette(palette);
        const QImage shot = view().viewport()->grab().toImage();
        const QRect number = view().numberRect(2);
        double best = 1;
        for (int y = number.top(); y <= number.bottom(); ++y)
            for (int x = number.left(); x <= number.right(); ++x)
                best = std::max(best,
                                contrast::ratio(shot.pixelColor(x, y), RowDelegate::pinnedColor()));
        EXPECT_GE(best, 4.5);
        const QRect row = view().textRect(1);
        EXPECT_GE(contrast::ratio(shot.pixelColor(row.left() + 6, row.bottom()),
                                  palette.color(QPalette::Base)),
                  3.0);
    }
}

// The text pointer shows over a field only. A right click starts editing without
// selecting; over the editor it keeps the selection, which a left click ends.
TEST_F(WindowTest, CopiedFieldTakesTheTextPointerAndBuildsItsMenuOnce) {
    addRows({"hello"});
    QWidget* rows = view().viewport();
    QTest::mouseMove(rows, view().textRect(1).center());
    EXPECT_EQ(rows->cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(rows, QPoint(5, rows->height() - 1));
    EXPECT_EQ(rows->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(view().textMenu(1), nullptr);
    click(1, Part::text, Qt::RightButton);
    QMenu* menu = view().textMenu(1);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(view().editingRow(), 1);
    EXPECT_EQ(view().editingPart(), Part::text);
    EXPECT_FALSE(editor().textCursor().hasSelection());
    menu->hide();
    select(0, 3);
    const QPoint middle = editor().viewport()->rect().center();
    QTest::mouseClick(editor().viewport(), Qt::RightButton, Qt::NoModifier, middle);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(editor().textCursor().selectedText(), "hel");
    QTest::mouseClick(editor().viewport(), Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_FALSE(editor().textCursor().hasSelection());
    EXPECT_EQ(&menuOf(1, Part::text), menu);
    QStringList titles;
    for (const QAction* action : menu->actions()) titles << action->text();
    EXPECT_EQ(titles, QStringList({"Cut", "Copy", "Paste", "", "Delete", "Delete All"}));
    for (int i : {0, 1, 2}) menu->actions().at(i)->trigger();
    EXPECT_EQ(keySender.posted, (std::vector<int>{keycode::X, keycode::C, keycode::V}));
}

// A menu opened earlier deletes its row while another row's number is typed:
// the typed number is dropped, never committed, and the edit goes on.
TEST_F(WindowTest, DeleteDropsThePendingIndexEdit) {
    addRows({"D", "C", "B", "A"});
    QMenu& menu = menuOf(2, Part::text);
    click(4, Part::number);
    type(QStringLiteral("1"));
    ASSERT_EQ(view().pendingRow(), 4);
    menu.actions().at(4)->trigger();  // Delete
    EXPECT_EQ(engine().bufferArray, QStringList({"A", "C", "D"}));
    EXPECT_EQ(view().pendingRow(), 0);
    EXPECT_EQ(view().editingRow(), 3);
    EXPECT_EQ(view().editingPart(), Part::number);
    clickOnWindow();
    EXPECT_EQ(engine().bufferArray, QStringList({"A", "C", "D"}));
    EXPECT_EQ(alert.beeps, 0);
}

}  // namespace
}  // namespace tarnwick::test
