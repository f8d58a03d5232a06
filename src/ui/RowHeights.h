// SPDX-License-Identifier: MIT
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

}  // namespace tarnwick::rows
