// Rows with line feeds: the expand button, its press, and the heights of the row
// and the document as the text changes.
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/MyExpandButton.h"

namespace tarnwick::test {
namespace {

class ExpandTest : public WindowTest {
protected:
    // Puts the cursor at the end of row's text in the field editor.
    void editAtEnd(int row) {
        click(copied(row));
        QTest::keyClick(&editor(), Qt::Key_End, Qt::ControlModifier);
    }
    bool isExpanded(CopiedTextField* field) {
        return field->expandButton() && field->expandButton()->expanded;
    }
    // The colour drawn at the middle of the button's left edge (the arrow runs
    // down its vertical middle).
    QColor buttonColour(CopiedTextField* field) {
        const QImage shot = doc().grab().toImage();
        const QRect button = doc().expandButtonRect(field);
        return shot.pixelColor(button.left() + 1, button.center().y());
    }
};

TEST_F(ExpandTest, WhichTextsGetAButtonAndHowTallTheyExpand) {
    struct Case {
        const char* text;
        bool button;
        double expanded;  // the row's height once expanded
    };
    const Case cases[] = {
        {"one line", false, 0},
        {"a\nb\nc", true, tfHt + 2 * labelHt},
        {"trailing\n", true, tfHt + labelHt},
        {"\n", true, tfHt + labelHt},
        {"a\r\nb", false, 0},
        {"a\r\nb\nc", true, tfHt + labelHt},
        {"a\rb", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (doc().rowCount() > 0) choose(copied(1), QStringLiteral("Delete All"));
        addRows({QStringLiteral("below"), QString::fromUtf8(c.text)});
        EXPECT_EQ(copied(1)->expandButton() != nullptr, c.button);
        if (!c.button) continue;
        EXPECT_FALSE(copied(1)->expandButton()->expanded);
        const double height = doc().frameHeight();
        pressExpandButton(copied(1));
        EXPECT_TRUE(isExpanded(copied(1)));
        EXPECT_EQ(copied(1)->frame.height, c.expanded);
        EXPECT_EQ(doc().frameHeight(), height + c.expanded - tfHt);
        // The row below starts where the expanded row ends.
        EXPECT_EQ(doc().qtRect(copied(2)).top(), 3 + c.expanded);
        pressExpandButton(copied(1));
        EXPECT_FALSE(isExpanded(copied(1)));
        EXPECT_EQ(copied(1)->frame.height, tfHt);
        EXPECT_EQ(doc().frameHeight(), height);
        expectInvariants();
    }
}

TEST_F(ExpandTest, GreenCollapsedRedExpandedOpaqueWhilePressed) {
    addRows({QStringLiteral("a\nb")});
    CopiedTextField* field = copied(1);
    const QPoint centre = doc().expandButtonRect(field).center();
    const QColor paleGreen = buttonColour(field);
    EXPECT_GT(paleGreen.green(), 250);
    EXPECT_GT(paleGreen.red(), 90);  // green at alpha 0.6 over white
    QTest::mousePress(&doc(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_TRUE(field->expandButton()->highlighted);
    const QColor pressed = buttonColour(field);
    EXPECT_LT(pressed.red(), 10);
    EXPECT_GT(pressed.green(), 250);
    QTest::mouseRelease(&doc(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_FALSE(field->expandButton()->highlighted);
    const QColor paleRed = buttonColour(field);
    EXPECT_GT(paleRed.red(), 250);
    EXPECT_GT(paleRed.green(), 90);
}

// A press that ends off the button does not toggle it.
TEST_F(ExpandTest, AReleaseOffTheButtonDoesNothing) {
    addRows({QStringLiteral("a\nb")});
    const QRect button = doc().expandButtonRect(copied(1));
    QTest::mousePress(&doc(), Qt::LeftButton, Qt::NoModifier, button.center());
    QTest::mouseRelease(&doc(), Qt::LeftButton, Qt::NoModifier, button.center() - QPoint(40, 0));
    EXPECT_FALSE(isExpanded(copied(1)));
    EXPECT_EQ(copied(1)->frame.height, tfHt);
}

// Every line of an expanded row is drawn, each in its own band of the row.
TEST_F(ExpandTest, AnExpandedRowDrawsEveryLine) {
    addRows({QStringLiteral("W\nW\nW")});
    pressExpandButton(copied(1));
    const QImage shot = doc().grab().toImage();
    const QRect field = doc().qtRect(copied(1));
    for (int line = 0; line < 3; ++line) {
        const int top = field.top() + static_cast<int>((tfHt - labelHt) / 2 + line * labelHt);
        int dark = 0;
        for (int y = top; y < top + static_cast<int>(labelHt); ++y)
            for (int x = field.left(); x < field.left() + 30; ++x)
                dark += shot.pixelColor(x, y).lightness() < 128;
        EXPECT_GT(dark, 0) << "line " << line + 1;
    }
}

TEST_F(ExpandTest, ReturnGivesAButtonAndDeletingTheLineFeedRemovesIt) {
    addRows({QStringLiteral("b"), QStringLiteral("a")});
    const double height = doc().frameHeight();
    editAtEnd(1);
    QTest::keyClick(&editor(), Qt::Key_Return);
    ASSERT_NE(copied(1)->expandButton(), nullptr);
    EXPECT_FALSE(copied(1)->expandButton()->expanded);
    EXPECT_EQ(copied(1)->frame.height, tfHt);
    EXPECT_EQ(engine().bufferArray[0], "a\n");
    // The new button shows above the field editor, where a press can reach it.
    QWidget* above = doc().childAt(doc().expandButtonRect(copied(1)).center());
    EXPECT_TRUE(above && above != &editor() && !editor().isAncestorOf(above));
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    EXPECT_EQ(copied(1)->expandButton(), nullptr);
    EXPECT_EQ(doc().frameHeight(), height);
    EXPECT_EQ(engine().bufferArray[0], "a");
}

TEST_F(ExpandTest, AnExpandedRowFollowsItsLinesAndComesBackExpanded) {
    addRows({QStringLiteral("b"), QStringLiteral("a\nb")});
    const double height = doc().frameHeight();
    pressExpandButton(copied(1));
    ASSERT_EQ(copied(1)->frame.height, tfHt + labelHt);
    editAtEnd(1);
    // Another line feed: 16 points taller at once.
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(copied(1)->frame.height, tfHt + 2 * labelHt);
    EXPECT_EQ(doc().frameHeight(), height + 2 * labelHt);
    EXPECT_EQ(editor().geometry(), doc().qtRect(copied(1)));
    // Every line feed gone: one line high, no button, but remembered.
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    QTest::keyClick(&editor(), Qt::Key_Left);
    QTest::keyClick(&editor(), Qt::Key_Backspace);
    ASSERT_EQ(copied(1)->stringValue(), "ab");
    EXPECT_EQ(copied(1)->expandButton(), nullptr);
    EXPECT_TRUE(copied(1)->wasExpanded);
    EXPECT_EQ(copied(1)->frame.height, tfHt);
    EXPECT_EQ(doc().frameHeight(), height);
    // A line feed again: the button comes back expanded and the row grows.
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_TRUE(isExpanded(copied(1)));
    EXPECT_EQ(copied(1)->frame.height, tfHt + labelHt);
    EXPECT_EQ(doc().frameHeight(), height + labelHt);
    expectInvariants();
}

TEST_F(ExpandTest, TheButtonStaysPressableWhileItsRowIsEdited) {
    addRows({QStringLiteral("a\nb")});
    click(copied(1));
    ASSERT_EQ(doc().editingField(), copied(1));
    // The press lands on what is drawn above the field editor.
    QWidget* above = doc().childAt(doc().expandButtonRect(copied(1)).center());
    ASSERT_NE(above, nullptr);
    ASSERT_NE(above, &editor());
    const QPoint inside = above->mapFrom(&doc(), doc().expandButtonRect(copied(1)).center());
    QTest::mouseClick(above, Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_TRUE(isExpanded(copied(1)));
    EXPECT_EQ(editor().geometry(), doc().qtRect(copied(1)));
}

// Taller than a widget can be (16,777,215 px), an expanded row still scrolls
// to its last line and to the row below it.
TEST_F(ExpandTest, ARowTallerThanAWidgetScrollsToItsEnd) {
    addRows({QStringLiteral("below"), QStringLiteral("l\n").repeated(1100000)});
    pressExpandButton(copied(1));
    ASSERT_GT(doc().frameHeight(), 16777215.0);
    QScrollBar* bar = ui.scrollView->verticalScrollBar();
    for (int step = 0; step < 10; ++step) bar->setValue(bar->maximum());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(doc().rect().contains(doc().qtRect(copied(2))));
    EXPECT_EQ(doc().fieldAt(doc().qtRect(copied(2)).center()), copied(2));
}

}  // namespace
}  // namespace tarnwick::test
