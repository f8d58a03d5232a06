// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <functional>

// The window's frame arithmetic, toolkit-free. Coordinates have their origin at
// the bottom left of the parent with y growing upwards; flipY() is the one way
// into the top-left coordinates of the toolkit.
namespace tarnwick::layout {

struct Frame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Frame&, const Frame&) = default;
};

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
};

// The content view's subviews, in their fixed order.
enum ContentPosition { label, fnToggle, ctrlToggle, cmdToggle, spacer, historyLabel, scroll };
inline constexpr int contentCount = 7;

struct WindowInput {
    double width = 0;                          // W, the window frame's width
    double height = 0;                         // H, the window frame's height
    double titlebarHeight = 0;                 // H minus the content height
    std::array<Size, contentCount> content{};  // the scroll view's size is ignored
    double documentHeight = 0;
    double scrollerWidth = 0;  // the width of a shown vertical scroller
};

struct WindowFrames {
    bool wideHeader = false;
    double scrollHeight = 0;   // S
    double scrollerWidth = 0;  // V: 0 unless the document is taller than S
    double rightGap = 0;       // G
    double documentWidth = 0;
    std::array<Frame, contentCount> content{};  // in the content view
};

// Header, labels, scroll view and document width for one run of the layout.
WindowFrames layoutWindow(const WindowInput& in);

// The width of the copied-text field of every row, whatever its index width:
// W - gapAroundScrollView - G - 2 gapAroundCopiedText - V (the index width is
// subtracted per row).
double rowWidthBase(const WindowInput& in, const WindowFrames& frames);

struct RowFrames {
    int rowNumber = 0;
    int digits = 0;      // the index field is fitted to this many "0"
    Frame index;         // in the document view
    Frame copied;        // in the document view
    Point expandOrigin;  // in the copied field's own coordinates
};

// The frames of the row numbered rowNumber whose copied field is copiedHeight
// high and whose bottom edge is at bottom: a row's place depends only on the
// rows below it, so a new row 1 leaves every other row where it was.
// indexWidth(d): the width of an index field fitted to d zeros.
RowFrames placeRow(int rowNumber, double bottom, double copiedHeight, double widthBase,
                   double indexHeight, const std::function<double(int)>& indexWidth);

// Where a row's expand button sits in its copied field: the top right corner.
Point expandOrigin(const Frame& copied);

// Number of decimal digits of a row number (r >= 1).
int digitCount(long long r);

// The same frame with its y measured from the top edge of a parent that is
// parentHeight high.
Frame flipY(const Frame& frame, double parentHeight);

}  // namespace tarnwick::layout
