// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <tuple>

#include "app/CommandLine.h"
#include "history/RowNumber.h"
#include "ui/RowHeights.h"

namespace tarnwick {
namespace {

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
}  // namespace tarnwick
