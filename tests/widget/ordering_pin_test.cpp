// The index field's menu and pinning: which menus offer the pin, what pinning
// looks like, and that a pinned row keeps its number.
#include <QImage>

#include "ordering_fixture.h"

namespace tarnwick::test {
namespace {

const QStringList withPin{"Delete", "Delete All", "---", "Pin"};
const QStringList withoutPin{"Delete", "Delete All"};

class PinTest : public RowsTest {
protected:
    void setNumberedRows(int count) {
        QStringList notation;
        for (int i = 1; i <= count; ++i) notation << QStringLiteral("t%1").arg(i);
        setRows(notation.join(QLatin1Char(' ')));
    }
    // The colour in the corner of an index field, away from its digits.
    QColor cornerColour(const RowField* field) {
        const QRect box = doc().qtRect(field);
        return doc().grab().toImage().pixelColor(box.left() + 1, box.top() + 1);
    }
};

TEST_F(PinTest, OnlyRowsUpToTenWhenTheMenuIsFirstBuiltOfferThePin) {
    setNumberedRows(12);
    struct Case {
        int row;
        QStringList items;
    };
    const Case cases[] = {{1, withPin}, {10, withPin}, {11, withoutPin}, {12, withoutPin}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const QMenu& menu = menuOf(index(c.row));
        EXPECT_EQ(menu.title(), "IndexTFMenu");
        EXPECT_EQ(menuTitles(menu), c.items);
        EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, index(c.row));
        EXPECT_EQ(doc().editingField(), index(c.row));
    }
}

// Built once: a row keeps the menu it had at its first right click.
TEST_F(PinTest, TheMenuIsKeptWhenTheRowMoves) {
    setNumberedRows(12);
    QMenu* tenth = &menuOf(index(10));
    QMenu* eleventh = &menuOf(index(11));
    click(index(10));
    typeKeys(QStringLiteral("12"));
    QTest::keyClick(&editor(), Qt::Key_Return);
    ASSERT_EQ(copied(12)->stringValue(), "t10");
    EXPECT_EQ(&menuOf(index(12)), tenth);
    EXPECT_EQ(menuTitles(*tenth), withPin);
    ASSERT_EQ(copied(10)->stringValue(), "t11");
    EXPECT_EQ(&menuOf(index(10)), eleventh);
    EXPECT_EQ(menuTitles(*eleventh), withoutPin);
}

// The right click commits the field's own pending edit before building, so
// the pin check sees the row number it then has.
TEST_F(PinTest, ARightClickBuildsTheMenuAfterCommittingTheFieldItself) {
    setNumberedRows(12);
    auto* field = index(12);
    click(field);
    typeKeys(QStringLiteral("3"));
    EXPECT_EQ(menuTitles(menuOf(field)), withPin);
    EXPECT_EQ(copied(3)->stringValue(), "t12");
    EXPECT_EQ(field->stringValue(), "3");
}

// Text that is no number when the menu is built: no pin item. A delete drops
// the pending edit, so the field can hold typed text that nothing commits.
TEST_F(PinTest, AFieldWhoseTextIsNotANumberGetsNoPin) {
    for (const char* typed : {"x", "", " 3", "3.0"}) {
        SCOPED_TRACE(typed);
        if (doc().count() > 0) choose(copied(1), QStringLiteral("Delete All"));
        setNumberedRows(4);
        QMenu& firstRow = menuOf(copied(1));
        click(index(3));
        item(firstRow, QStringLiteral("Delete"))->trigger();
        ASSERT_EQ(doc().editingField(), index(2));
        ASSERT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, nullptr);
        QTest::keyClick(&editor(), Qt::Key_Backspace);
        typeKeys(QString::fromUtf8(typed));
        EXPECT_EQ(menuTitles(menuOf(index(2))), withoutPin);
    }
}

TEST_F(PinTest, PinTwiceGivesPinAndTransparentAgain) {
    setNumberedRows(3);
    const QColor plain = cornerColour(index(2));
    choose(index(2), QStringLiteral("Pin"));
    EXPECT_TRUE(index(2)->pinned);
    QMenu& menu = menuOf(index(2));
    EXPECT_EQ(menuTitles(menu), QStringList({"Delete", "Delete All", "---", "Unpin"}));
    clickOnWindow();  // the editor no longer covers the field
    EXPECT_EQ(cornerColour(index(2)).rgb(), QColor::fromRgbF(1, 0.5, 0).rgb());
    item(menu, QStringLiteral("Unpin"))->trigger();
    EXPECT_FALSE(index(2)->pinned);
    EXPECT_EQ(menuTitles(menu), withPin);
    EXPECT_EQ(cornerColour(index(2)).rgb(), plain.rgb());
    // Pinning changes nothing else.
    EXPECT_EQ(shownRows(), "t1 t2 t3");
    EXPECT_EQ(clipboardWrites(), 0);
}

TEST_F(PinTest, APinnedNumberStaysOrangeWhileItIsTypedInto) {
    setNumberedRows(3);
    const QColor plain = editor().palette().color(QPalette::Base);
    choose(index(2), QStringLiteral("Pin"));  // the field is being edited now
    EXPECT_EQ(editor().palette().color(QPalette::Base).rgb(), QColor::fromRgbF(1, 0.5, 0).rgb());
    click(copied(1));  // another field takes the editor
    EXPECT_EQ(editor().palette().color(QPalette::Base).rgb(), plain.rgb());
    click(index(2));
    EXPECT_EQ(editor().palette().color(QPalette::Base).rgb(), QColor::fromRgbF(1, 0.5, 0).rgb());
}

// A pinned row keeps its number, and with it its hot-key digit, whatever
// arrives, moves or leaves around it.
TEST_F(PinTest, APinnedRowKeepsItsNumberThroughArrivalsMovesAndDeletes) {
    harness.start();
    for (const char* text : {"c", "b", "a"}) ASSERT_TRUE(copyToRowOne(text));
    choose(index(2), QStringLiteral("Pin"));
    for (const char* text : {"d", "e"}) ASSERT_TRUE(copyToRowOne(text));
    EXPECT_EQ(shownRows(), "e b* d a c");
    click(index(5));
    typeKeys(QStringLiteral("1"));
    QTest::keyClick(&editor(), Qt::Key_Return);
    EXPECT_EQ(shownRows(), "c b* e d a");
    choose(copied(1), QStringLiteral("Delete"));
    EXPECT_EQ(shownRows(), "e b* d a");
    EXPECT_EQ(engine().bufferArray[1], "b");
    EXPECT_TRUE(engine().pasteItemAtIndex(1));
    EXPECT_EQ(clipboard(), "b");
}

}  // namespace
}  // namespace tarnwick::test
