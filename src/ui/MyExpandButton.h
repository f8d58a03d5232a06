#pragma once

#include "ui/Layout.h"
#include "ui/UserInterface.h"

class QPainter;
class QRect;

namespace tarnwick {

// The small square in the corner of a row with several lines; pressing it
// expands or collapses the row. Drawn by the document view, or above the field
// editor while its row is being edited; the document view routes presses in
// its square to it.
class UserInterface::MyExpandButton {
public:
    MyExpandButton() = default;
    explicit MyExpandButton(const layout::Frame& frame) : frame(frame) {}

    // Draws the button into target (its frame in the painter's coordinates).
    void paint(QPainter& painter, const QRect& target) const;

    bool expanded = false;
    bool highlighted = false;           // the mouse is down on it
    layout::Frame frame{0, 0, 10, 10};  // in its field, bottom-left origin
};

}  // namespace tarnwick
