// SPDX-License-Identifier: MIT
#include "ui/Layout.h"

#include <algorithm>

#include "ui/Metrics.h"

namespace tarnwick::layout {

namespace {

// A one-line header is as tall as its tallest view.
double headerLineHeight(const std::array<Size, contentCount>& c) {
    return std::max(
        {c[label].height, c[fnToggle].height, c[ctrlToggle].height, c[cmdToggle].height});
}

// The height above the scroll view: the header (one line, or one view per
// line), the spacer and "Copy History:", taken from the views' own heights so
// that taller toggles never push the list past the window's bottom edge.
double headerHeight(const std::array<Size, contentCount>& c, bool stacked) {
    const double header =
        stacked ? c[label].height + c[fnToggle].height + c[ctrlToggle].height + c[cmdToggle].height
                : headerLineHeight(c);
    return header + c[spacer].height + c[historyLabel].height;
}

}  // namespace

WindowFrames layoutWindow(const WindowInput& in) {
    WindowFrames out;
    const auto& c = in.content;
    const double headerWidth =
        c[label].width + c[fnToggle].width + c[ctrlToggle].width + c[cmdToggle].width + 25;
    out.wideHeader = headerWidth > in.width;
    const double contentHeight = in.height - in.titlebarHeight;
    out.scrollHeight = contentHeight - headerHeight(c, out.wideHeader) - 2 * gapAroundScrollView;
    const bool scrollerShown = in.documentHeight > out.scrollHeight;
    out.scrollerWidth = scrollerShown ? in.scrollerWidth : 0;
    out.rightGap = scrollerShown ? 0 : gapAroundScrollView;
    out.documentWidth = in.width - gapAroundScrollView - out.scrollerWidth - out.rightGap;

    double x = 5;
    double y = 5;
    for (int p = 0; p < contentCount; ++p) {
        Size size = c[p];
        if (p == scroll) size = {in.width - gapAroundScrollView - out.rightGap, out.scrollHeight};
        if (!out.wideHeader && p < spacer) {
            out.content[p] = {x, contentHeight - size.height - y, size.width, size.height};
            x += size.width + 5;
            if (p == cmdToggle) y += headerLineHeight(c);
        } else {
            out.content[p] = {5, contentHeight - size.height - y, size.width, size.height};
            y += size.height;
        }
    }
    return out;
}

int digitCount(long long r) {
    double x = static_cast<double>(r) / 10;
    int digits = 1;
    while (x >= 1) {
        ++digits;
        x /= 10;
    }
    return digits;
}

Frame flipY(const Frame& frame, double parentHeight) {
    return {frame.x, parentHeight - (frame.y + frame.height), frame.width, frame.height};
}

}  // namespace tarnwick::layout
