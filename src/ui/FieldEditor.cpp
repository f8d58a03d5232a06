#include "ui/FieldEditor.h"

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

}  // namespace tarnwick
