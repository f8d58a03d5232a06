// Painting and mouse handling of the document view: both only look at the rows
// that intersect the area concerned.
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/ButtonOverlay.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"

namespace tarnwick {

void DocumentView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.setClipRect(exposed);
    const auto [from, to] = rowsIntersecting(exposed.top(), exposed.bottom() + 1);
    for (int i = from; i < to; ++i) {
        rows_[static_cast<std::size_t>(i)].copied->paint(painter);
        rows_[static_cast<std::size_t>(i)].index->paint(painter);
    }
}

RowMouseEvent DocumentView::rowEvent(const QMouseEvent* event) const {
    return {event->position().toPoint(), event->globalPosition().toPoint()};
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const RowMouseEvent rowMouse = rowEvent(event);
    RowField* field = fieldAt(rowMouse.pos);
    if (event->button() == Qt::LeftButton) {
        MyExpandButton* button = field ? field->expandButton() : nullptr;
        if (button && expandButtonRect(field).contains(rowMouse.pos)) {
            pressedButtonField_ = field;
            button->highlighted = true;
            update(expandButtonRect(field));
            if (buttonOverlay_->isVisible()) buttonOverlay_->update();
            return;
        }
        // A click beside the rows reaches the window, as on an empty part of it.
        if (field) {
            field->mouseDown(rowMouse);
        } else if (window_) {
            window_->mouseDown();
        }
    } else if (event->button() == Qt::RightButton) {
        if (field) {
            field->rightMouseDown(rowMouse);
        } else if (window_) {
            window_->rightMouseDown();
        }
    }
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
    RowField* field = pressedButtonField_;
    pressedButtonField_ = nullptr;
    MyExpandButton* button = field ? field->expandButton() : nullptr;
    if (!button) return;
    button->highlighted = false;
    const QRect square = expandButtonRect(field);
    update(square);
    if (buttonOverlay_->isVisible()) buttonOverlay_->update();
    if (square.contains(event->position().toPoint())) field->expand();
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
    const RowMouseEvent rowMouse = rowEvent(event);
    RowField* field = fieldAt(rowMouse.pos);
    if (field != hovered_ && hovered_) hovered_->mouseExited();
    hovered_ = field;
    if (field) field->mouseMoved(rowMouse);
}

void DocumentView::leaveEvent(QEvent*) {
    if (hovered_) hovered_->mouseExited();
    hovered_ = nullptr;
}

bool DocumentView::eventFilter(QObject* watched, QEvent* event) {
    // A right click in the field editor shows the field's own menu, never the
    // editor's.
    if (watched == editor_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && editingField_) {
            const QPoint pos = editor_->viewport()->mapTo(this, mouse->position().toPoint());
            editingField_->rightMouseDown({pos, mouse->globalPosition().toPoint()});
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
