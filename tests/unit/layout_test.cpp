#include "ui/Layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/Metrics.h"

namespace tarnwick::layout {
namespace {

// Header widths: the label is 140, toggles 40 + 60 + 70; the header needs 335.
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

TEST(WindowLayout, HeaderOnOneLineOrStackedByWidth) {
    struct Case {
        double width;
        bool wide;
        double scrollHeight;
    };
    // 335 fits exactly (equality counts as fitting); one point less stacks.
    const Case cases[] = {{400, false, 980 - 48 - 10},
                          {335, false, 980 - 48 - 10},
                          {334, true, 980 - 96 - 10},
                          {200, true, 980 - 96 - 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const WindowFrames f = layoutWindow(window(c.width, 980, 6));
        EXPECT_EQ(f.wideHeader, c.wide);
        EXPECT_EQ(f.scrollHeight, c.scrollHeight);
        EXPECT_EQ(f.content[scroll].height, c.scrollHeight);
    }
}

TEST(WindowLayout, OneLineHeaderSitsSideBySideAndScrollViewEndsFiveAboveBottom) {
    const WindowFrames f = layoutWindow(window(400, 980, 6));
    const std::vector<Frame> expected = {{5, 980 - 16 - 5, 140, 16},   {150, 980 - 16 - 5, 40, 16},
                                         {195, 980 - 16 - 5, 60, 16},  {260, 980 - 16 - 5, 70, 16},
                                         {5, 980 - 16 - 21, 140, 16},  {5, 980 - 16 - 37, 140, 16},
                                         {5, 5, 400 - 5 - 5, 980 - 58}};
    for (int p = 0; p < contentCount; ++p) EXPECT_EQ(f.content[p], expected[p]) << p;
}

TEST(WindowLayout, StackedHeaderGoesOnePerLineAtTheLeft) {
    const WindowFrames f = layoutWindow(window(300, 600, 6));
    double top = 5;
    for (int p = 0; p < scroll; ++p) {
        EXPECT_EQ(f.content[p].x, 5) << p;
        EXPECT_EQ(f.content[p].y, 600 - f.content[p].height - top) << p;
        top += f.content[p].height;
    }
    EXPECT_EQ(f.content[scroll].y, 5);
    EXPECT_EQ(f.content[scroll].height, 600 - 96 - 10);
}

TEST(WindowLayout, TallerTogglesMoveTheScrollViewByTheDifference) {
    const WindowFrames f = layoutWindow(window(400, 980, 6, 20));
    EXPECT_EQ(f.content[scroll].y, 1);
}

TEST(WindowLayout, ScrollerTakenOnlyWhenDocumentIsStrictlyTaller) {
    const double s = 980 - 48 - 10;
    const WindowFrames fits = layoutWindow(window(400, 980, s));
    EXPECT_EQ(fits.scrollerWidth, 0);
    EXPECT_EQ(fits.rightGap, gapAroundScrollView);
    EXPECT_EQ(fits.documentWidth, 400 - 10);
    EXPECT_EQ(fits.content[scroll].width, 400 - 10);

    const WindowFrames over = layoutWindow(window(400, 980, s + 1));
    EXPECT_EQ(over.scrollerWidth, 15);
    EXPECT_EQ(over.rightGap, 0);
    EXPECT_EQ(over.documentWidth, 400 - 5 - 15);
    EXPECT_EQ(over.content[scroll].width, 400 - 5);
}

TEST(WindowLayout, RowWidthLeavesThreeOnTheRightWithOrWithoutScroller) {
    for (const double documentHeight : {6.0, 5000.0}) {
        const WindowInput in = window(400, 980, documentHeight);
        const WindowFrames f = layoutWindow(in);
        RowStacker stacker(documentHeight, rowWidthBase(in, f), tfHt, [](int) { return 20.0; });
        const RowFrames row = stacker.next(tfHt);
        EXPECT_EQ(row.copied.x + row.copied.width, f.documentWidth - gapAroundCopiedText);
    }
}

double zerosWidth(int digits) {
    return 7.0 * digits + 8;
}

TEST(RowLayout, IndexFieldsFitToAsManyZerosAsTheRowNumberHasDigits) {
    RowStacker stacker(1000, 380, tfHt, zerosWidth);
    std::vector<RowFrames> rows;
    for (int k = 0; k < 100; ++k) rows.push_back(stacker.next(tfHt));
    EXPECT_EQ(rows[8].digits, 1);   // row 9: fitted to "0"
    EXPECT_EQ(rows[9].digits, 2);   // row 10: fitted to "00"
    EXPECT_EQ(rows[98].digits, 2);  // row 99
    EXPECT_EQ(rows[99].digits, 3);  // row 100
    EXPECT_EQ(rows[8].index.width, zerosWidth(1));
    EXPECT_EQ(rows[9].index.width, zerosWidth(2));
    EXPECT_EQ(rows[9].copied.x, zerosWidth(2) + gapAroundCopiedText);
    EXPECT_EQ(rows[9].copied.width, 380 - zerosWidth(2));
}

TEST(RowLayout, ExpandButtonSitsInTheFieldsFarCorner) {
    RowStacker stacker(200, 380, tfHt, zerosWidth);
    const RowFrames collapsed = stacker.next(tfHt);
    EXPECT_EQ(collapsed.expandOrigin, (Point{collapsed.copied.width - 10, 11}));
    const RowFrames expanded = stacker.next(53);
    EXPECT_EQ(expanded.expandOrigin, (Point{expanded.copied.width - 10, 43}));
}

}  // namespace
}  // namespace tarnwick::layout
