#include "ui/FieldEditor.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>

#include "platform/Pasteboard.h"

namespace tarnwick {

FieldEditor::FieldEditor(Pasteboard& pasteboard, QWidget* parent)
    : QPlainTextEdit(parent), pasteboard_(pasteboard) {
    setFrameShape(QFrame::NoFrame);
    setContextMenuPolicy(Qt::NoContextMenu);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(2);
    hide();
}

bool FieldEditor::hasSelection() const {
    return textCursor().hasSelection();
}

void FieldEditor::copySelection() {
    if (!hasSelection()) return;
    // The document marks line breaks with U+2029; the clipboard gets line feeds.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    pasteboard_.clearContents();
    pasteboard_.setString(text);
}

void FieldEditor::cutSelection() {
    if (!hasSelection()) return;
    copySelection();
    textCursor().removeSelectedText();
}

void FieldEditor::pasteText() {
    const std::optional<QString> text = pasteboard_.string();
    if (text) insertPlainText(*text);
}

void FieldEditor::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteText();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FieldEditor::mousePressEvent(QMouseEvent* event) {
    // The middle button pastes on release; its press must not reach Qt.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void FieldEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        setTextCursor(cursorForPosition(event->position().toPoint()));
        pasteText();
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

bool FieldEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void FieldEditor::insertFromMimeData(const QMimeData* source) {
    // Any paste path left to Qt (its paste() slot, a drop) inserts plain text
    // only, and nothing from missing data.
    if (canInsertFromMimeData(source)) insertPlainText(source->text());
}

}  // namespace tarnwick
