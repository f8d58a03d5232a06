// SPDX-License-Identifier: MIT
#include "ui/Layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick::layout {
namespace {

// The label is 140 wide, the toggles 40 + 60 + 70: the header needs 335.
WindowInput window(double width, double height, double documentHeight, double toggleHeight = 16) {
    WindowInput in;
    in.width = width;
    in.height = height;
    in.titlebarHeight = 0;
    in.content = {Size{140, 16},          Size{40, toggleHeight}, Size{60, toggleHeight},
                  Size{70, toggleHeight}, Size{140, 16},          Size{140, 16}};
    in.documentHeight = documentHeight;
    in.scrollerWidth = 15;
    return in;
}

// 335 fits (equality counts as fitting): the header sits side by side above
// the list, which ends five above the bottom; stacked, it goes one item per
// line at the left. Toggles taller than a label shorten the list instead.
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
    const double s = 980 - 48 - 10;
    const WindowFrames fits = layoutWindow(window(400, 980, s));
    EXPECT_EQ(fits.scrollerWidth, 0);
    EXPECT_EQ(fits.documentWidth, 400 - 10);
    EXPECT_EQ(fits.content[scroll].width, 400 - 10);
    const WindowFrames over = layoutWindow(window(400, 980, s + 1));
    EXPECT_EQ(over.scrollerWidth, 15);
    EXPECT_EQ(over.documentWidth, 400 - 5 - 15);
    EXPECT_EQ(over.content[scroll].width, 400 - 5);
}

// The number field fits as many zeros as the row number has digits.
TEST(RowLayout, DigitsOfARowNumber) {
    for (const auto& [row, digits] : {std::pair{9, 1}, {10, 2}, {99, 2}, {100, 3}, {100000, 6}})
        EXPECT_EQ(digitCount(row), digits) << row;
}

}  // namespace
}  // namespace tarnwick::layout
