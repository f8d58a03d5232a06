#include "ui/MyExpandButton.h"

#include <QPainter>

namespace tarnwick {

void UserInterface::MyExpandButton::paint(QPainter&, const QRect&) const {}

}  // namespace tarnwick
