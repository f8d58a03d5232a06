#include "ui/MyExpandButton.h"

#include <QPainter>
#include <QRectF>

#include "ui/ExpandButtonPainter.h"

namespace tarnwick {

void UserInterface::MyExpandButton::paint(QPainter& painter, const QRect& target) const {
    paintExpandButton(painter, QRectF(target), expanded, highlighted);
}

}  // namespace tarnwick
