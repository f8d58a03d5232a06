// SPDX-License-Identifier: MIT
#include "ui/MyWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"
#include "ui/Metrics.h"
#include "ui/QtGeometry.h"

namespace tarnwick {

MyWindow::MyWindow(Services services, HistoryView* view) : services_(services), view_(view) {}

void MyWindow::mouseDown() {
    endRowEditing();
    makeFirstResponderNil();
}

void MyWindow::endRowEditing() {
    view_->commitPending();
    view_->endEditing();
}

void MyWindow::rightMouseDown() {
    mouseDown();
}

void MyWindow::makeFirstResponderNil() {
    view_->endEditing();
    // A toggle clicked before would otherwise go on taking Space.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

void MyWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) mouseDown();
    if (event->button() == Qt::RightButton) rightMouseDown();
}

void MyWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    windowDidResize();
}

void MyWindow::windowDidResize() {
    if (contentSubviews.size() < static_cast<std::size_t>(layout::contentCount)) return;
    layout::WindowInput in;
    in.width = width();
    in.height = height();  // Qt's frame height excludes the title bar
    for (int p = 0; p < layout::scroll; ++p) {
        in.content[p] = {static_cast<double>(contentSubviews[p]->width()),
                         static_cast<double>(contentSubviews[p]->height())};
    }
    in.documentHeight = view_->documentHeight();
    in.scrollerWidth = view_->verticalScrollBar()->sizeHint().width();

    const layout::WindowFrames frames = layout::layoutWindow(in);
    const double contentHeight = in.height;
    for (int p = 0; p < layout::contentCount; ++p) {
        contentSubviews[p]->setGeometry(toQRect(frames.content[p], contentHeight));
    }
}

bool MyWindow::performKeyEquivalent(const KeyEvent& event) {
    if (event.type != KeyEvent::Type::keyDown) return false;
    if (!(event.flags & eventflag::command)) return false;
    FieldEditor* editor = view_->editor();
    if (!editor) return false;
    const bool selection = editor->hasSelection();
    QTextDocument* document = editor->document();
    switch (event.keyCode) {
        case keycode::Z:
            if (event.flags & eventflag::shift) {
                if (!document->isRedoAvailable()) return false;
                editor->redo();
            } else {
                if (!document->isUndoAvailable()) return false;
                editor->undo();
            }
            return true;
        case keycode::X:
            if (!selection) return false;
            editor->cutSelection();
            return true;
        case keycode::C:
            if (!selection) return false;
            editor->copySelection();
            return true;
        case keycode::V:
            editor->pasteText();
            return true;
        case keycode::A:
            editor->selectAll();
            return false;
        default:
            return false;
    }
}

bool MyWindow::eventFilter(QObject* watched, QEvent* event) {
    // Compared by address only: the editor also reports events while the
    // view that owns it is being destroyed.
    if (!view_->editor() || watched != static_cast<QObject*>(view_->editor()))
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        // The keyboard went to another view of the window (Tab, a click on a
        // toggle): the edit ends as a click outside the rows ends it. A menu
        // or another window taking the keyboard for a while ends nothing.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            isAncestorOf(QApplication::focusWidget())) {
            endRowEditing();
        }
        return false;
    }
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    KeyEvent chord;
    if (toKeyEquivalent(key->key(), key->modifiers(), chord)) {
        // Claim the chord from application shortcuts so the key press comes here.
        if (!press) {
            event->accept();
            return true;
        }
        return performKeyEquivalent(chord);
    }
    if (press && key->key() == Qt::Key_Escape) {
        // Escape takes back a typed row number (nothing moves) and leaves the
        // editor for the rows; a text's edits are already in the history.
        view_->dropPending();
        return true;
    }
    const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (press && isReturn) {
        // Return adds a line to a text; it commits a typed number, whose
        // editor stays open with the row's new number.
        if (view_->editingPart() == HistoryView::Part::text) {
            view_->editor()->insertText(QStringLiteral("\n"));
        } else {
            view_->commitEditedNumber();
        }
        return true;
    }
    return false;
}

bool toKeyEquivalent(int qtKey, Qt::KeyboardModifiers modifiers, KeyEvent& out) {
    if (!(modifiers & Qt::ControlModifier)) return false;
    static constexpr std::pair<int, int> keys[] = {{Qt::Key_A, keycode::A},
                                                   {Qt::Key_Z, keycode::Z},
                                                   {Qt::Key_X, keycode::X},
                                                   {Qt::Key_C, keycode::C},
                                                   {Qt::Key_V, keycode::V}};
    const auto* key = std::ranges::find(keys, qtKey, &std::pair<int, int>::first);
    if (key == std::end(keys)) return false;
    const int code = key->second;
    std::uint64_t flags = eventflag::command;
    if (modifiers & Qt::ShiftModifier) flags |= eventflag::shift;
    if (modifiers & Qt::AltModifier) flags |= eventflag::secondaryFn;
    if (modifiers & Qt::MetaModifier) flags |= eventflag::control;
    out = {KeyEvent::Type::keyDown, code, flags};
    return true;
}

}  // namespace tarnwick
