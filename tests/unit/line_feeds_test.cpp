#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarnwick
