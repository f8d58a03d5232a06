// SPDX-License-Identifier: MIT
#pragma once

#include <array>

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

// Number of decimal digits of a row number (r >= 1).
int digitCount(long long r);

// The same frame with its y measured from the top edge of a parent that is
// parentHeight high.
Frame flipY(const Frame& frame, double parentHeight);

}  // namespace tarnwick::layout
