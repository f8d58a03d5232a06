#include <QAccessible>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

QStringList rowNumbers(DocumentView& doc) {
    QStringList numbers;
    for (int p = doc.count() - 1; p > 0; p -= 2) numbers << doc.at(p)->stringValue();
    return numbers;
}

TEST_F(WindowTest, CopiesBecomeRowsNewestFirst) {
    ui.help();
    harness.start();
    ASSERT_TRUE(harness.copyAndExpect("one", {"one"}));
    EXPECT_EQ(doc().frameHeight(), 6 + 21);
    ASSERT_TRUE(harness.copyAndExpect("two", {"two", "one"}));
    ASSERT_TRUE(harness.copyAndExpect("three", {"three", "two", "one"}));

    ASSERT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().rowTexts(), QStringList({"three", "two", "one"}));
    EXPECT_EQ(rowNumbers(doc()), QStringList({"1", "2", "3"}));
    EXPECT_EQ(doc().frameHeight(), 6 + 3 * 21);
    // Pairs: copied field first, its index field right after it.
    for (int p = 0; p < doc().count(); ++p) {
        const bool isIndex = dynamic_cast<UserInterface::IndexTextField*>(doc().at(p));
        EXPECT_EQ(isIndex, p % 2 == 1) << p;
    }
    // The row texts are the history's own strings, not copies.
    EXPECT_EQ(copied(1)->stringValue().constData(), engine().bufferArray[0].constData());
}

TEST_F(WindowTest, RowsArePlacedTopDownWithTheirNumbers) {
    ui.help();
    QStringList texts;
    for (int i = 1; i <= 10; ++i) texts << QStringLiteral("t%1").arg(i);
    addRows(texts);
    EXPECT_EQ(rowNumbers(doc()).first(), "1");
    EXPECT_EQ(rowNumbers(doc()).last(), "10");
    EXPECT_EQ(doc().qtRect(copied(1)).top(), 3);
    EXPECT_EQ(doc().qtRect(copied(2)).top(), 3 + 21);
    EXPECT_EQ(doc().qtRect(index(1)).top(), doc().qtRect(copied(1)).top());
    // Row 10 is fitted to "00", row 9 to "0".
    EXPECT_GT(index(10)->frame.width, index(9)->frame.width);
    EXPECT_EQ(copied(10)->frame.x, index(10)->frame.width + 3);
    EXPECT_EQ(doc().qtRect(copied(10)).bottom() + 1, doc().height() - 3);
}

TEST_F(WindowTest, RowsAddedBeforeTheFirstHelpAreLaidOutByIt) {
    addRows({"a", "b"});
    EXPECT_EQ(engine().bufferArray, QStringList({"b", "a"}));
    EXPECT_FALSE(ui.helpWindow->isVisible());
    ui.help();
    EXPECT_EQ(rowNumbers(doc()), QStringList({"1", "2"}));
    EXPECT_EQ(doc().qtRect(copied(1)).top(), 3);
}

TEST_F(WindowTest, RowAtEitherEndWithoutLayoutOrHeightChange) {
    ui.help();
    addRows({"a", "b"});
    const double height = doc().frameHeight();
    ui.addTextField(QString(), false);
    EXPECT_EQ(doc().count(), 6);
    EXPECT_EQ(doc().frameHeight(), height);
    EXPECT_EQ(doc().rowTexts(), QStringList({"b", "a", ""}));
    ui.addTextField(QStringLiteral("top"), true);
    EXPECT_EQ(doc().rowTexts(), QStringList({"top", "b", "a", ""}));
}

TEST_F(WindowTest, PinnedRowsKeepTheirNumbersWhenATextArrives) {
    struct Case {
        const char* name;
        std::vector<int> pinnedRows;
        QStringList expected;
    };
    // Rows before: C (1), B (2), A (3); N arrives.
    const Case cases[] = {
        {"none pinned", {}, {"N", "C", "B", "A"}},
        {"B pinned", {2}, {"N", "B", "C", "A"}},
        {"A and B pinned", {2, 3}, {"N", "B", "A", "C"}},
        {"bottom pinned", {3}, {"N", "C", "A", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc().removeAllSubviews();
        doc().setFrameHeight(6);
        engine().bufferArray.clear();
        addRows({"A", "B", "C"});
        for (const int row : c.pinnedRows) index(row)->pinned = true;
        const QStringList result = ui.addTextField(QStringLiteral("N"));
        EXPECT_EQ(result, c.expected);
        for (const int row : c.pinnedRows) EXPECT_TRUE(index(row)->pinned) << row;
    }
}

TEST_F(WindowTest, ClickInARowHitsItsFields) {
    ui.help();
    addRows({"older", "newer"});
    click(copied(2));
    EXPECT_EQ(doc().editingField(), copied(2));
    EXPECT_EQ(editor().toPlainText(), "older");
    click(index(1));
    EXPECT_EQ(doc().editingField(), index(1));
    EXPECT_EQ(ui.helpWindow->prevIndexTextFieldWithFocus, index(1));
    EXPECT_EQ(editor().textCursor().selectedText(), "1");
}

TEST_F(WindowTest, RowsAreReadableByScreenReaders) {
    ui.help();
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
        EXPECT_EQ(child->parent(), list);
    }
}

}  // namespace
}  // namespace tarnwick::test
