// SPDX-License-Identifier: MIT
#include "ui/ButtonOverlay.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "ui/DocumentView.h"
#include "ui/ExpandButtonPainter.h"
#include "ui/MyExpandButton.h"

namespace tarnwick {

ButtonOverlay::ButtonOverlay(DocumentView* parent) : QWidget(parent), document_(parent) {
    hide();
}

void ButtonOverlay::paintEvent(QPaintEvent*) {
    const MyExpandButton* button = field ? field->expandButton() : nullptr;
    if (!button) return;
    QPainter painter(this);
    paintExpandButton(painter, QRectF(rect()), button->expanded, button->highlighted);
}

void ButtonOverlay::mousePressEvent(QMouseEvent* event) {
    forward(event);
}
void ButtonOverlay::mouseReleaseEvent(QMouseEvent* event) {
    forward(event);
}

void ButtonOverlay::forward(QMouseEvent* event) {
    QMouseEvent mapped(event->type(), mapToParent(event->position()), event->globalPosition(),
                       event->button(), event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(document_, &mapped);
}

}  // namespace tarnwick
