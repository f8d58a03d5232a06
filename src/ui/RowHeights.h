#pragma once

#include <QString>

// Height arithmetic of expandable history rows, independent of any widget.
namespace tarnwick::rows {

// The line feeds of text that make an expanded row taller. A carriage return
// followed by a line feed is one character on macOS (a single grapheme) that
// is not a line feed, so such a pair does not count.
int countLineFeeds(const QString& text);

// Whether the row of text gets an expand button: it has a line feed that
// counts. Following the count rather than a plain substring search keeps a
// text with only CR+LF breaks from showing a button that expands nothing.
bool hasExpandButton(const QString& text);

// A row expanded from one line high: tfHt + labelHt per counted line feed.
double expandedRowHeight(const QString& text);

// What pressing the expand button changes: the field's new height and how much
// the document view grows (negative when it shrinks).
struct ExpansionChange {
    double fieldHeight = 0;
    double documentDelta = 0;
};

// expanded is the button's state before the press; fieldHeight the row's
// current height. Collapsing goes back to tfHt; expanding grows the row from
// its current height by labelHt per counted line feed.
ExpansionChange toggleExpansion(bool expanded, double fieldHeight, const QString& text);

}  // namespace tarnwick::rows
