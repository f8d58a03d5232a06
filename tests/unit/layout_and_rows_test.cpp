// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QStringList>
#include <cstdint>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

#include "app/CommandLine.h"
#include "history/RowNumber.h"
#include "ui/Layout.h"
#include "ui/Metrics.h"
#include "ui/RowHeights.h"
#include "ui/ToolTip.h"

namespace tarnwick::layout {
namespace {

// The label is 140 wide, the toggles 40 + 60 + 70: the header needs 335.
WindowInput window(double width, double height, double documentHeight, double toggleHeight = 16) {
    const Size labelSize{140, 16};
    return {.width = width,
            .height = height,
            .content = {labelSize, Size{40, toggleHeight}, Size{60, toggleHeight},
                        Size{70, toggleHeight}, labelSize, labelSize},
            .documentHeight = documentHeight,
            .scrollerWidth = 15};
}

// 335 fits (equality counts): the header sits side by side above the list, which ends five
// above the bottom; stacked, one item a line at the left. Taller toggles shorten the list.
TEST(WindowLayout, HeaderOnOneLineOrStackedByWidth) {
    const WindowFrames wide = layoutWindow(window(400, 980, 6));
    const std::vector<Frame> expected = {{5, 959, 140, 16},  {150, 959, 40, 16}, {195, 959, 60, 16},
                                         {260, 959, 70, 16}, {5, 943, 140, 16},  {5, 927, 140, 16},
                                         {5, 5, 390, 922}};
    for (int p = 0; p < contentCount; ++p) EXPECT_EQ(wide.content[p], expected[p]) << p;
    for (const auto& [width, toggle] :
         {std::pair{335.0, 16.0}, {334.0, 16.0}, {200.0, 16.0}, {400.0, 20.0}, {300.0, 20.0}}) {
        const WindowFrames f = layoutWindow(window(width, 980, 6, toggle));
        const bool stacked = width < 335;
        EXPECT_EQ(f.wideHeader, stacked) << width;
        EXPECT_EQ(f.content[1].x, stacked ? 5 : 150) << width;
        EXPECT_EQ(f.content[1].y, 980 - 5 - toggle - (stacked ? 16 : 0)) << width;
        EXPECT_EQ(f.content[scroll].y, 5) << width;
        EXPECT_EQ(f.content[scroll].height, 980 - (stacked ? 16 + 3 * toggle : toggle) - 32 - 10)
            << width;
    }
}

TEST(WindowLayout, ScrollerTakenOnlyWhenDocumentIsStrictlyTaller) {
    for (const bool taller : {false, true}) {
        const WindowFrames f = layoutWindow(window(400, 980, 980 - 48 - 10 + (taller ? 1 : 0)));
        EXPECT_EQ(f.scrollerWidth, taller ? 15 : 0);
        EXPECT_EQ(f.documentWidth, taller ? 400 - 5 - 15 : 400 - 10);
        EXPECT_EQ(f.content[scroll].width, taller ? 400 - 5 : 400 - 10);
    }
}

// The modifier keys' tool tip: every word of its text, in lines a reader can follow.
TEST(ToolTip, WrapsAtSixtyCharactersAndKeepsEveryWord) {
    const QString tip = modifierToolTip();
    for (const QString& line : tip.split('\n')) EXPECT_LE(line.size(), 60) << line.toStdString();
    EXPECT_GE(tip.count('\n'), 2);
    EXPECT_EQ(QString(tip).replace('\n', ' '), QString::fromUtf8(toolTipTxt));
}

// The number field fits as many zeros as the row number has digits.
TEST(RowLayout, DigitsOfARowNumber) {
    for (const auto& [row, digits] : {std::pair{9, 1}, {10, 2}, {99, 2}, {100, 3}, {100000, 6}})
        EXPECT_EQ(digitCount(row), digits) << row;
}

constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

TEST(PasteRow, TakesOneToTenAndZeroForTheTenth) {
    for (const char* text : {"", "11", "-1", "+3", " 3", "3x", "010", "00"})
        EXPECT_EQ(pasteRowOf(QString::fromLatin1(text)), std::nullopt) << text;
    for (const auto& [text, row] : {std::pair{"1", 1}, {"09", 9}, {"10", 10}, {"0", 10}})
        EXPECT_EQ(pasteRowOf(QString::fromLatin1(text)), row) << text;
}

TEST(ParseRowNumber, AcceptsASignAndAsciiDigitsOnly) {
    for (const char16_t* text : {u"", u" 2", u"2 ", u"\u0663", u"\uFF13", u"+", u"--2", u"2.0",
                                 u"2\n", u"1e3", u"9223372036854775808", u"-9223372036854775809"})
        EXPECT_EQ(rows::parseRowNumber(QString::fromUtf16(text)), std::nullopt)
            << QString::fromUtf16(text).toStdString();
    for (const auto& [text, number] : {std::pair{"+2", 2}, {"007", 7}, {"-0", 0}, {"-5", -5}})
        EXPECT_EQ(rows::parseRowNumber(text), number) << text;
    for (const std::int64_t limit : {int64Min, int64Max})
        EXPECT_EQ(rows::parseRowNumber(QString::number(limit)), limit);
}

TEST(ClampRowNumber, ZeroAndNegativeMeanRowOneAndLargeMeansTheLastRow) {
    const std::tuple<std::int64_t, int, int> cases[] = {
        {0, 5, 1}, {int64Min, 5, 1}, {1, 5, 1}, {3, 5, 3},         {5, 5, 5},
        {6, 5, 5}, {int64Max, 5, 5}, {1, 0, 0}, {4294967297, 9, 9}};  // typed, rows, row
    for (const auto& [typed, rowCount, row] : cases)
        EXPECT_EQ(rows::clampRowNumber(typed, rowCount), row) << typed << " of " << rowCount;
}

TEST(PinMenu, OffersThePinItemForNumbersUpToTen) {
    const std::pair<const char*, bool> cases[] = {{"10", true},  {"-3", true},
                                                  {"+10", true}, {"11", false},
                                                  {"x", false},  {"99999999999999999999", false}};
    for (const auto& [text, pinItem] : cases) EXPECT_EQ(rows::offersPinItem(text), pinItem) << text;
}

TEST(LineFeeds, CountOnlyLineFeedsNotPrecededByACarriageReturn) {
    const std::pair<const char*, int> cases[] = {
        {"", 0},     {"one line", 0}, {"a\nb\nc", 2}, {"\n", 1},       {"a\r\nb\r\nc", 0},
        {"\r\n", 0}, {"a\rb", 0},     {"\r\r\n", 0},  {"\n\r\n\n", 2}, {"\r\n\n", 1}};
    for (const auto& [text, lineFeeds] : cases)
        EXPECT_EQ(rows::countLineFeeds(text), lineFeeds) << text;
}

}  // namespace
}  // namespace tarnwick::layout
