#include "ui/FieldEditor.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "history/BufferChecker.h"
#include "ui/Metrics.h"

namespace tarnwick {

namespace {

// Lines one band (labelHt) apart, as a row paints them: the plain-text layout
// would put them a font's line spacing apart, which the row's height does
// not follow.
class BandedLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    QRectF blockBoundingRect(const QTextBlock& block) const override {
        QRectF box = QPlainTextDocumentLayout::blockBoundingRect(block);
        if (box.isEmpty()) return box;
        double height = std::max(1, block.layout()->lineCount()) * labelHt;
        if (!block.next().isValid()) height += document()->documentMargin();
        box.setHeight(std::max(box.height(), height));
        return box;
    }
};

}  // namespace

FieldEditor::FieldEditor(BufferChecker& engine, QWidget* parent)
    : QPlainTextEdit(parent), engine_(engine) {
    auto* bands = new QTextDocument(this);
    bands->setDocumentLayout(new BandedLayout(bands));
    setDocument(bands);
    // A one-pixel focus frame in the selection colour; with the document
    // margin the text starts textInset from the field's edges, where the row
    // paints it.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setForegroundRole(QPalette::Highlight);
    document()->setDocumentMargin(textInset - 1);
    setContextMenuPolicy(Qt::NoContextMenu);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
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
    engine_.copyToClipboard(text);
}

void FieldEditor::cutSelection() {
    if (!hasSelection()) return;
    copySelection();
    textCursor().removeSelectedText();
}

void FieldEditor::pasteText() {
    const std::optional<QString> text = engine_.clipboardText();
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
