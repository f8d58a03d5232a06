#include <gtest/gtest.h>

#include "app/Globals.h"
#include "ui/RowHeights.h"

namespace tarnwick {
namespace {

TEST(LineFeeds, CountOnlyLineFeedsNotPrecededByACarriageReturn) {
    struct Case {
        const char* text;
        int lineFeeds;
    };
    const Case cases[] = {
        {"", 0},          {"one line of any length", 0},
        {"a\nb\nc", 2},   {"\n", 1},
        {"\n\n\n", 3},    {"a\r\nb\r\nc", 0},
        {"\r\n", 0},      {"a\rb", 0},
        {"a\r\nb\nc", 1}, {"\r\r\n", 0},
        {"\n\r\n\n", 2},  {"\r\n\n", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rows::countLineFeeds(c.text), c.lineFeeds) << c.text;
        EXPECT_EQ(rows::hasExpandButton(c.text), c.lineFeeds > 0) << c.text;
    }
}

TEST(ExpandedHeight, ThreeLinesAreTwoLabelHeightsTaller) {
    EXPECT_EQ(rows::expandedRowHeight("one\ntwo\nthree"), 53);
    EXPECT_EQ(rows::expandedRowHeight("one\r\ntwo\r\nthree"), tfHt);
    EXPECT_EQ(rows::expandedRowHeight(QString(100000, QLatin1Char('x'))), tfHt);
}

TEST(ExpandedHeight, PressingTwiceRestoresTheRowAndTheDocument) {
    const QString text = "one\ntwo\nthree";
    const auto expand = rows::toggleExpansion(false, tfHt, text);
    EXPECT_EQ(expand.fieldHeight, 53);
    EXPECT_EQ(expand.documentDelta, 32);
    const auto collapse = rows::toggleExpansion(true, expand.fieldHeight, text);
    EXPECT_EQ(collapse.fieldHeight, tfHt);
    EXPECT_EQ(collapse.documentDelta, -32);
}

TEST(ExpandedHeight, AnExpandedRowFollowsAnEditByCollapsingAndExpandingAgain) {
    // The row was expanded for two line feeds; a third one was typed.
    const QString edited = "a\nb\nc\nd";
    const auto collapse = rows::toggleExpansion(true, 53, edited);
    const auto expand = rows::toggleExpansion(false, collapse.fieldHeight, edited);
    EXPECT_EQ(expand.fieldHeight, 69);
    EXPECT_EQ(collapse.documentDelta + expand.documentDelta, 16);
}

TEST(ExpandedHeight, ExpandingATextWithoutCountedLineFeedsAddsNothing) {
    const auto expand = rows::toggleExpansion(false, tfHt, "a\r\nb");
    EXPECT_EQ(expand.fieldHeight, tfHt);
    EXPECT_EQ(expand.documentDelta, 0);
}

}  // namespace
}  // namespace tarnwick
