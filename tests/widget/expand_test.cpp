// SPDX-License-Identifier: MIT
// Rows with line feeds: the expand button, its press, and the heights of the row
// and the document as the text changes.
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/Contrast.h"

namespace tarnwick::test {
namespace {

class ExpandTest : public WindowTest {
protected:
    // The colour at the middle of the button's left edge (the arrow runs down
    // its vertical middle).
    QColor buttonColour(CopiedTextField* field) {
        const QRect button = doc().expandButtonRect(field);
        return doc().grab().toImage().pixelColor(button.left() + 1, button.center().y());
    }
};

// A CR LF is no line feed: the row grows by two lines and the row below moves.
TEST_F(ExpandTest, OnlyAReleaseOnTheButtonTogglesItsRowAndItsColour) {
    addRows({QStringLiteral("below"), QStringLiteral("a\r\nb\nc\nd")});
    CopiedTextField* field = copied(1);
    const double height = doc().frameHeight(), expanded = tfHt + 2 * labelHt;
    const QPoint centre = doc().expandButtonRect(field).center();
    const QColor paleGreen = buttonColour(field);  // green at alpha 0.6 over white
    EXPECT_TRUE(paleGreen.green() > 250 && paleGreen.red() > 90) << paleGreen.name().toStdString();
    QTest::mousePress(&doc(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_TRUE(field->expandButton()->highlighted);
    EXPECT_LT(buttonColour(field).red(), 10);
    QTest::mouseRelease(&doc(), Qt::LeftButton, Qt::NoModifier, centre - QPoint(40, 0));
    EXPECT_FALSE(isExpanded(field));
    QTest::mouseClick(&doc(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_FALSE(field->expandButton()->highlighted);
    EXPECT_TRUE(isExpanded(field));
    const QColor paleRed = buttonColour(field);
    EXPECT_TRUE(paleRed.red() > 250 && paleRed.green() > 90) << paleRed.name().toStdString();
    EXPECT_EQ(field->frame.height, expanded);
    EXPECT_EQ(doc().frameHeight(), height + expanded - tfHt);
    EXPECT_EQ(doc().qtRect(copied(2)).top(), 3 + expanded);
    pressExpandButton(field);
    EXPECT_FALSE(isExpanded(field));
    EXPECT_EQ(field->frame.height, tfHt);
    EXPECT_EQ(doc().frameHeight(), height);
}

// A row's look from top to bottom, one letter per pixel row: 'f' focus frame,
// 'd' divider, '#' text, '.' nothing (the caret's and the button's columns
// are left out).
QString look(DocumentView& doc, const RowField* field) {
    const QImage shot = doc.grab().toImage();
    const QRect box = doc.qtRect(field);
    const QRgb frame = doc.editor()->palette().color(QPalette::Highlight).rgb();
    const QRgb divider = contrast::divider(doc.palette()).rgb();
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

// Each line in its own band, and the same lines at the same heights while the
// row is edited, expanded or collapsed under the editor: only the focus frame
// differs, and the divider stays.
TEST_F(ExpandTest, AnEditedRowShowsItsLinesWhereTheRowDoes) {
    addRows({QStringLiteral("Wg\nWg\nWg")});
    pressExpandButton(copied(1));
    const QString expanded = look(doc(), copied(1));
    for (int line = 0; line < 3; ++line)
        EXPECT_TRUE(expanded.mid(3 + 16 * line, 16).contains('#')) << expanded.toStdString();
    const auto framed = [](QString rows) {
        rows[0] = rows[rows.size() - 2] = QLatin1Char('f');
        EXPECT_EQ(rows.back(), QLatin1Char('d'));
        return rows.toStdString();
    };
    click(copied(1));
    QTest::keyClick(&editor(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(look(doc(), copied(1)).toStdString(), framed(expanded));
    pressExpandButton(copied(1));
    const QString editedCollapsed = look(doc(), copied(1));
    clickOnWindow();
    EXPECT_EQ(editedCollapsed.toStdString(), framed(look(doc(), copied(1))));
}

// Return gives a collapsed button, pressable above the editor of its row; the
// expanded row follows its lines, and without line feeds keeps no button but
// remembers being expanded.
TEST_F(ExpandTest, AnEditedRowGainsFollowsAndLosesItsLines) {
    addRows({QStringLiteral("b"), QStringLiteral("a")});
    const double height = doc().frameHeight();
    click(copied(1));
    QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(engine().bufferArray[0], "a\n");
    ASSERT_FALSE(isExpanded(copied(1)));
    EXPECT_EQ(copied(1)->frame.height, tfHt);
    EXPECT_EQ(doc().expandButtonRect(copied(1)).topRight(), doc().qtRect(copied(1)).topRight());
    pressExpandButton(copied(1));
    ASSERT_EQ(copied(1)->frame.height, tfHt + labelHt);
    click(copied(1));
    QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(copied(1)->frame.height, tfHt + 2 * labelHt);
    EXPECT_EQ(doc().frameHeight(), height + 2 * labelHt);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(engine().bufferArray[0], "a");
    EXPECT_EQ(copied(1)->expandButton(), nullptr);
    EXPECT_EQ(doc().frameHeight(), height);
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_TRUE(isExpanded(copied(1)));
    EXPECT_EQ(copied(1)->frame.height, tfHt + labelHt);
    EXPECT_EQ(doc().frameHeight(), height + labelHt);
}

// A long first line ends before the button instead of under it, and a
// right-to-left line starts at the right edge, as in the editor.
TEST_F(ExpandTest, ARowsLineEndsClearOfTheButtonAndRightToLeftStartsAtTheRight) {
    addRows({QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd"),
             QStringLiteral("l").repeated(2000) + "\nx"});
    const QImage shot = doc().grab().toImage();
    const QRect button = doc().expandButtonRect(copied(1));
    for (int y = button.bottom() + 1; y < doc().qtRect(copied(1)).bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x)
            EXPECT_GE(shot.pixelColor(x, y).lightness(), 128) << x << "," << y;
    const QRect rtl = doc().qtRect(copied(2));
    for (int y = rtl.top(); y < rtl.bottom(); ++y)
        for (int x = rtl.left(); x < rtl.center().x(); ++x)
            EXPECT_GE(shot.pixelColor(x, y).lightness(), 128) << x << "," << y;
}

// Taller than a widget can be (16,777,215 px), an expanded row still scrolls
// to its last line and to the row below it.
TEST_F(ExpandTest, ARowTallerThanAWidgetScrollsToItsEnd) {
    addRows({QStringLiteral("below"), QStringLiteral("l\n").repeated(1100000)});
    pressExpandButton(copied(1));
    ASSERT_GT(doc().frameHeight(), 16777215.0);
    QScrollBar* bar = ui.scrollView->verticalScrollBar();
    for (int step = 0; step < 10; ++step) bar->setValue(bar->maximum());
    EXPECT_TRUE(doc().rect().contains(doc().qtRect(copied(2))));
    EXPECT_EQ(doc().fieldAt(doc().qtRect(copied(2)).center()), copied(2));
}

}  // namespace
}  // namespace tarnwick::test
