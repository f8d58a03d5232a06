#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "history/RowNumber.h"

namespace tarnwick {
namespace {

constexpr auto int64Min = std::numeric_limits<std::int64_t>::min();
constexpr auto int64Max = std::numeric_limits<std::int64_t>::max();

struct ParseCase {
    const char16_t* text;
    std::optional<std::int64_t> number;
};

TEST(ParseRowNumber, AcceptsASignAndAsciiDigitsOnly) {
    const ParseCase cases[] = {
        {u"", std::nullopt},
        {u" 2", std::nullopt},
        {u"2 ", std::nullopt},
        {u"x", std::nullopt},
        {u"\u0663", std::nullopt},
        {u"\uFF13", std::nullopt},
        {u"1e3", std::nullopt},
        {u"+", std::nullopt},
        {u"--2", std::nullopt},
        {u"2-", std::nullopt},
        {u"2.0", std::nullopt},
        {u"2\n", std::nullopt},
        {u"9223372036854775808", std::nullopt},
        {u"-9223372036854775809", std::nullopt},
        {u"2", 2},
        {u"+2", 2},
        {u"007", 7},
        {u"-0", 0},
        {u"-5", -5},
        {u"9223372036854775807", int64Max},
        {u"-9223372036854775808", int64Min},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(rows::parseRowNumber(QString::fromUtf16(c.text)), c.number)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(ClampRowNumber, ZeroAndNegativeMeanRowOneAndLargeMeansTheLastRow) {
    struct Case {
        std::int64_t typed;
        int rowCount, row;
    };
    const Case cases[] = {{0, 5, 1},  {-1, 5, 1}, {int64Min, 5, 1},  {1, 5, 1},        {3, 5, 3},
                          {5, 5, 5},  {6, 5, 5},  {99, 5, 5},        {int64Max, 5, 5}, {7, 1, 1},
                          {-7, 1, 1}, {1, 0, 0},  {4294967297, 9, 9}};
    for (const Case& c : cases)
        EXPECT_EQ(rows::clampRowNumber(c.typed, c.rowCount), c.row)
            << c.typed << " of " << c.rowCount;
}

TEST(PinMenu, OffersThePinItemForNumbersUpToTen) {
    struct Case {
        const char* text;
        bool pinItem;
    };
    const Case cases[] = {
        {"10", true},  {"0", true},  {"-3", true}, {"+10", true},
        {"11", false}, {"x", false}, {"", false},  {"99999999999999999999", false}};
    for (const Case& c : cases) EXPECT_EQ(rows::offersPinItem(c.text), c.pinItem) << c.text;
}

}  // namespace
}  // namespace tarnwick
