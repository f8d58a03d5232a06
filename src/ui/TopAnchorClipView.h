#pragma once

#include <QWidget>

#include "ui/UserInterface.h"

namespace tarnwick {

// The scroll view's viewport. Its y axis runs downwards, so a document shorter
// than the visible area stays against the top edge.
class UserInterface::TopAnchorClipView : public QWidget {
public:
    explicit TopAnchorClipView(QWidget* parent = nullptr) : QWidget(parent) {}
    bool isFlipped() const { return true; }
};

}  // namespace tarnwick
