#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <cstdlib>
#include <string>

#include "ui/ExpandButtonPainter.h"

namespace tarnwick {
namespace {

constexpr int scale = 4;  // the 10 x 10 button drawn at 40 x 40 pixels

QImage render(bool expanded, bool highlighted) {
    QImage image(10 * scale, 10 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintExpandButton(painter, QRectF(0, 0, 10, 10), expanded, highlighted);
    return image;
}

// The pixel under the point (x, y) of the button, in its 10 x 10 y-down space.
QColor at(const QImage& image, double x, double y) {
    return image.pixelColor(static_cast<int>(x * scale), static_cast<int>(y * scale));
}

::testing::AssertionResult near(const QColor& actual, int r, int g, int b) {
    const auto close = [](int x, int y) { return std::abs(x - y) <= 2; };
    if (actual.alpha() == 255 && close(actual.red(), r) && close(actual.green(), g) &&
        close(actual.blue(), b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rgba(" << actual.red() << ", " << actual.green() << ", " << actual.blue() << ", "
           << actual.alpha() << "), expected rgb(" << r << ", " << g << ", " << b << ")";
}

TEST(ExpandButtonPaint, FillIsPaleGreenOrPaleRedAndOpaqueWhilePressed) {
    // 0.6 of the colour over white leaves 0.4 of white in the other channels.
    struct Case {
        bool expanded, highlighted;
        int r, g, b;
    };
    const Case cases[] = {{false, false, 102, 255, 102},
                          {true, false, 255, 102, 102},
                          {false, true, 0, 255, 0},
                          {true, true, 255, 0, 0}};
    for (const Case& c : cases) {
        const QImage image = render(c.expanded, c.highlighted);
        const std::string which = std::string(c.expanded ? "expanded" : "collapsed") +
                                  (c.highlighted ? ", highlighted" : "");
        for (const auto& [x, y] : {std::pair{0.5, 0.5}, {9.5, 9.5}, {1.5, 8.5}, {8.5, 1.5}})
            EXPECT_TRUE(near(at(image, x, y), c.r, c.g, c.b)) << which << " at " << x << "," << y;
    }
}

TEST(ExpandButtonPaint, ArrowPointsUpWhileCollapsedAndDownWhileExpanded) {
    const QImage collapsed = render(false, false);
    const QImage expanded = render(true, false);
    for (const QImage* image : {&collapsed, &expanded}) {
        // The shaft runs down the middle from y 2 to y 8 and stops there.
        for (const double y : {2.5, 5.0, 7.5}) EXPECT_TRUE(near(at(*image, 4.9, y), 0, 0, 0)) << y;
        EXPECT_FALSE(near(at(*image, 4.9, 0.5), 0, 0, 0));
        EXPECT_FALSE(near(at(*image, 4.9, 9.5), 0, 0, 0));
    }
    // Head at the top on screen: wings from (5, 2) down to (2, 5) and (8, 5).
    EXPECT_TRUE(near(at(collapsed, 3.6, 3.6), 0, 0, 0));
    EXPECT_TRUE(near(at(collapsed, 6.4, 3.6), 0, 0, 0));
    EXPECT_TRUE(near(at(collapsed, 3.6, 6.4), 102, 255, 102));
    // Head at the bottom on screen: wings from (5, 8) up to (2, 5) and (8, 5).
    EXPECT_TRUE(near(at(expanded, 3.6, 6.4), 0, 0, 0));
    EXPECT_TRUE(near(at(expanded, 6.4, 6.4), 0, 0, 0));
    EXPECT_TRUE(near(at(expanded, 3.6, 3.6), 255, 102, 102));
}

TEST(ExpandButtonPaint, DrawsOnlyInsideItsBounds) {
    QImage image(30, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        paintExpandButton(painter, QRectF(10, 10, 10, 10), false, true);
    }
    EXPECT_TRUE(near(image.pixelColor(11, 11), 0, 255, 0));
    EXPECT_TRUE(near(image.pixelColor(18, 18), 0, 255, 0));
    for (const auto& [x, y] : {std::pair{9, 9}, {20, 20}, {9, 15}, {15, 20}, {5, 25}})
        EXPECT_EQ(image.pixelColor(x, y).alpha(), 0) << x << "," << y;
}

}  // namespace
}  // namespace tarnwick
