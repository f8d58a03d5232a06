// SPDX-License-Identifier: MIT
// The rows by keyboard alone: the document view's current row, and the keys
// that do on it what the mouse does.
#include <QKeyEvent>
#include <QScrollArea>

#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/MyExpandButton.h"

namespace tarnwick {

RowMouseEvent DocumentView::rowEventAt(const RowField* field) const {
    const QPoint centre = qtRect(field).center();
    return {centre, mapToGlobal(centre)};
}

void DocumentView::setCurrentRow(int row) {
    currentRow_ = row;
    update();
    if (currentRow() == 0) return;
    const QRect box = qtRect(copiedAt(currentRow()));
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(up)) {
            area->ensureVisible(box.left(), box.center().y(), 0, box.height() / 2);
            break;
        }
    }
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
    const int row = currentRow();
    if (row == 0) return QWidget::keyPressEvent(event);
    const int key = event->key();
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    CopiedTextField* copied = copiedAt(row);
    MyExpandButton* button = copied->expandButton();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        setCurrentRow(std::clamp(row + (key == Qt::Key_Down ? 1 : -1), 1, rowCount()));
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
        copied->mouseDown(rowEventAt(copied));
    } else if (menuKey) {
        copied->rightMouseDown(rowEventAt(copied));
    } else if ((key == Qt::Key_Right || key == Qt::Key_Left) && button) {
        // Right opens a row's further lines, Left closes them, as in a tree.
        if (button->expanded != (key == Qt::Key_Right)) copied->expand();
    } else if (event->text().size() == 1 && event->text().front().isDigit()) {
        // A digit starts a new row number, as a click in the number and the
        // digit typed would.
        IndexTextField* index = indexAt(row);
        index->mouseDown(rowEventAt(index));
        editor_->insertText(event->text());
    } else {
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

void DocumentView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void DocumentView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

}  // namespace tarnwick
