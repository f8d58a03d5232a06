// SPDX-License-Identifier: MIT
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

// Where the part of text kept aside starts: longestShownLine characters into
// its first longer line, or -1 when no line is longer. Reads no further than
// that point.
qsizetype asideFrom(QStringView text) {
    constexpr qsizetype longest = FieldEditor::longestShownLine;
    for (qsizetype start = 0;;) {
        const QStringView line =
            text.sliced(start).first(std::min(text.size() - start, longest + 1));
        const qsizetype feed = line.indexOf(QLatin1Char('\n'));
        if (feed >= 0) {
            start += feed + 1;
        } else if (line.size() > longest) {
            // A surrogate pair stays whole.
            return text[start + longest - 1].isHighSurrogate() ? start + longest - 1
                                                               : start + longest;
        } else {
            return -1;
        }
    }
}

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
    // A row shows a tab as a space; a tab stop as narrow keeps the edited
    // line where the row drew it.
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    connect(bands, &QTextDocument::contentsChange, this,
            [this](int from, int removed, int) { shownTextChanged(from, removed); });
    hide();
}

void FieldEditor::setFieldText(const QString& text) {
    asideFrom_ = asideFrom(text);
    kept_ = asideFrom_ < 0 ? QString() : text;
    setPlainText(asideFrom_ < 0 ? text : text.first(asideFrom_));
}

QString FieldEditor::fieldText() const {
    QString text = toPlainText();
    if (asideFrom_ >= 0) text += QStringView(kept_).sliced(asideFrom_);
    return text;
}

bool FieldEditor::selectsWholeText() const {
    const QTextCursor cursor = textCursor();
    return asideFrom_ >= 0 && cursor.selectionStart() == 0 &&
           cursor.selectionEnd() == document()->characterCount() - 1 && cursor.hasSelection();
}

QString FieldEditor::selectedFieldText() const {
    if (selectsWholeText()) return fieldText();
    // The document marks line breaks with U+2029; the clipboard gets line feeds.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void FieldEditor::editShown(const std::function<void()>& edit) {
    if (replacingShown_ >= 0 || !selectsWholeText()) return edit();
    replacingShown_ = document()->characterCount() - 1;
    edit();
    replacingShown_ = -1;
    // Undoing would bring the shown part back without the rest.
    if (asideFrom_ < 0) document()->clearUndoRedoStacks();
}

void FieldEditor::shownTextChanged(int from, int removed) {
    // Reported before textChanged(): the row reads the whole text from here.
    if (replacingShown_ > 0 && from == 0 && removed >= replacingShown_) {
        kept_.clear();
        asideFrom_ = -1;
    }
}

bool FieldEditor::hasSelection() const {
    return textCursor().hasSelection();
}

void FieldEditor::copySelection() {
    if (!hasSelection()) return;
    engine_.copyToClipboard(selectedFieldText());
}

void FieldEditor::cutSelection() {
    if (!hasSelection()) return;
    copySelection();
    editShown([this] { textCursor().removeSelectedText(); });
}

void FieldEditor::pasteText() {
    const std::optional<QString> text = engine_.clipboardText();
    if (text) insertText(*text);
}

void FieldEditor::insertText(const QString& text) {
    editShown([&] { insertPlainText(text); });
}

void FieldEditor::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteText();
        event->accept();
        return;
    }
    editShown([&] { QPlainTextEdit::keyPressEvent(event); });
}

void FieldEditor::inputMethodEvent(QInputMethodEvent* event) {
    editShown([&] { QPlainTextEdit::inputMethodEvent(event); });
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

QMimeData* FieldEditor::createMimeDataFromSelection() const {
    // A drag or Qt's own copy carries the whole text too when all of it is selected.
    auto* data = new QMimeData;
    data->setText(selectedFieldText());
    return data;
}

void FieldEditor::mouseMoveEvent(QMouseEvent* event) {
    // A drag that moves the whole text out of the editor starts here.
    editShown([&] { QPlainTextEdit::mouseMoveEvent(event); });
}

bool FieldEditor::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && source->hasText();
}

void FieldEditor::insertFromMimeData(const QMimeData* source) {
    // Any paste path left to Qt (its paste() slot, a drop) inserts plain text
    // only, and nothing from missing data.
    if (canInsertFromMimeData(source)) insertText(source->text());
}

}  // namespace tarnwick
