// SPDX-License-Identifier: MIT
// Rows with line feeds: the expand button, its press, and the row's height.
#include <QImage>
#include <QScreen>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/Contrast.h"

namespace tarnwick::test {
namespace {

class ExpandTest : public WindowTest {
protected:
    // The colour at the middle of the button's left edge (clear of the arrow),
    // as the screen shows it: a place never repainted keeps its old look.
    QColor buttonColour(int row) {
        QCoreApplication::processEvents();
        const QRect button = view().buttonRect(row);
        const QPoint at = view().viewport()->mapTo(ui.helpWindow, button.topLeft());
        const QImage screen =
            QGuiApplication::primaryScreen()->grabWindow(ui.helpWindow->winId()).toImage();
        return screen.pixelColor(at.x() + 1, at.y() + button.height() / 2);
    }
};

// A CR LF is no line feed: the row grows by two lines and the row below moves.
TEST_F(ExpandTest, OnlyAReleaseOnTheButtonTogglesItsRowAndItsColour) {
    addRows({QStringLiteral("below"), QStringLiteral("a\r\nb\nc\nd")});
    const int expanded = tfHt + 2 * labelHt;
    QWidget* rows = view().viewport();
    const QPoint centre = view().buttonRect(1).center();
    const QColor paleGreen = buttonColour(1);  // green at alpha 0.6 over white
    EXPECT_TRUE(paleGreen.green() > 250 && paleGreen.red() > 90) << paleGreen.name().toStdString();
    QTest::mousePress(rows, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(view().pressedButtonRow(), 1);
    EXPECT_LT(buttonColour(1).red(), 10);
    QTest::mouseRelease(rows, Qt::LeftButton, Qt::NoModifier, centre - QPoint(40, 0));
    EXPECT_FALSE(view().isExpanded(1));
    EXPECT_EQ(buttonColour(1), paleGreen);
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(view().pressedButtonRow(), 0);
    EXPECT_TRUE(view().isExpanded(1));
    const QColor paleRed = buttonColour(1);
    EXPECT_TRUE(paleRed.red() > 250 && paleRed.green() > 90) << paleRed.name().toStdString();
    EXPECT_EQ(view().rowRect(1).height(), expanded);
    EXPECT_EQ(view().textRect(2).top(), expanded);
    pressExpandButton(1);
    EXPECT_FALSE(view().isExpanded(1));
    EXPECT_EQ(view().textRect(2).top(), tfHt);
    // The same over the row's editor, where the button is a widget of its own.
    click(1, Part::text);
    QWidget* button = rows->childAt(centre);
    ASSERT_NE(button, nullptr);
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    EXPECT_LT(buttonColour(1).red(), 10);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(-40, 5));
    EXPECT_EQ(buttonColour(1), paleGreen);
}

// A row's look from top to bottom, one letter per pixel row: 'f' focus frame,
// 'd' divider, '#' text, '.' nothing (not looking at the caret or the button).
QString look(HistoryView& view, int row) {
    const QImage shot = view.viewport()->grab().toImage();
    const QRect box = view.textRect(row);
    const QRgb frame = view.palette().color(QPalette::Highlight).rgb();
    const QRgb divider = contrast::divider(view.palette()).rgb();
    QString rows;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        QChar c = QLatin1Char('.');
        if (shot.pixel(box.left() + 6, y) == frame) {
            c = QLatin1Char('f');
        } else if (shot.pixel(box.left() + 6, y) == divider) {
            c = QLatin1Char('d');
        } else {
            for (int x = box.left() + 6; x < box.right() - 14; ++x)
                if (shot.pixelColor(x, y).lightness() < 128) c = QLatin1Char('#');
        }
        rows += c;
    }
    return rows;
}

// Each line in its own band, at the same height while the row is edited,
// expanded or not: only the focus frame differs, and the divider stays.
TEST_F(ExpandTest, AnEditedRowShowsItsLinesWhereTheRowDoes) {
    addRows({QStringLiteral("Wg\nWg\nWg")});
    pressExpandButton(1);
    const QString expanded = look(view(), 1);
    for (int line = 0; line < 3; ++line)
        EXPECT_TRUE(expanded.mid(3 + 16 * line, 16).contains('#')) << expanded.toStdString();
    const auto framed = [](QString rows) {
        rows[0] = rows[rows.size() - 2] = QLatin1Char('f');
        EXPECT_EQ(rows.back(), QLatin1Char('d'));
        return rows.toStdString();
    };
    click(1, Part::text);
    QTest::keyClick(&editor(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(look(view(), 1).toStdString(), framed(expanded));
    pressExpandButton(1);
    const QString editedCollapsed = look(view(), 1);
    clickOnWindow();
    EXPECT_EQ(editedCollapsed.toStdString(), framed(look(view(), 1)));
}

// Return gives a collapsed button, pressable above the row's editor; the row
// follows its lines, and without any keeps no button but stays expanded.
TEST_F(ExpandTest, AnEditedRowGainsFollowsAndLosesItsLines) {
    addRows({QStringLiteral("b"), QStringLiteral("a")});
    click(1, Part::text);
    QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_Return);
    ASSERT_FALSE(view().isExpanded(1));
    EXPECT_EQ(view().rowRect(1).height(), tfHt);
    EXPECT_EQ(view().buttonRect(1).topRight(), view().textRect(1).topRight());
    pressExpandButton(1);
    ASSERT_EQ(view().rowRect(1).height(), tfHt + labelHt);
    click(1, Part::text);
    QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(view().rowRect(1).height(), tfHt + 2 * labelHt);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_FALSE(view().hasButton(1));
    EXPECT_EQ(view().rowRect(1).height(), tfHt);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_TRUE(view().isExpanded(1));
    EXPECT_EQ(view().rowRect(1).height(), tfHt + labelHt);
}

// A long first line ends before the button; a right-to-left line starts at the right.
TEST_F(ExpandTest, ARowsLineEndsClearOfTheButtonAndRightToLeftStartsAtTheRight) {
    addRows({QStringLiteral("Wg"), QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd"),
             QStringLiteral("l").repeated(2000) + "\nx"});
    const QImage image = view().viewport()->grab().toImage();
    const QRect button = view().buttonRect(1);
    for (int y = button.bottom() + 1; y < view().textRect(1).bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x)
            EXPECT_GE(image.pixelColor(x, y).lightness(), 128) << x << "," << y;
    const QRect rtl = view().textRect(2);
    for (int y = rtl.top(); y < rtl.bottom(); ++y)
        for (int x = rtl.left(); x < rtl.center().x(); ++x)
            EXPECT_GE(image.pixelColor(x, y).lightness(), 128) << x << "," << y;
    // A text that fits is drawn whole, with no ellipsis put in.
    const QRect fits = view().textRect(3);
    int left = fits.right(), right = fits.left();
    for (int y = fits.top(); y < fits.bottom() - 1; ++y)
        for (int x = fits.left(); x < fits.right(); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                left = std::min(left, x), right = std::max(right, x);
    EXPECT_LE(right - left, view().fontMetrics().horizontalAdvance(QStringLiteral("Wg")));
}

// Taller than a widget can be (16,777,215 px), a row still scrolls to its end.
TEST_F(ExpandTest, ARowTallerThanAWidgetScrollsToItsEnd) {
    addRows({QStringLiteral("below"), QStringLiteral("l\n").repeated(1100000)});
    pressExpandButton(1);
    ASSERT_GT(view().documentHeight(), 16777215);
    QScrollBar* bar = view().verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_TRUE(view().viewport()->rect().contains(view().textRect(2)));
    int row = 0;
    EXPECT_EQ(view().partAt(view().textRect(2).center(), &row), Part::text);
    EXPECT_EQ(row, 2);
}

}  // namespace
}  // namespace tarnwick::test
