// SPDX-License-Identifier: MIT
#include "ui/CopiedTextField.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "history/HistoryModel.h"
#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "ui/Contrast.h"
#include "ui/DocumentView.h"
#include "ui/ExpandButtonPainter.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/Metrics.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/RowHeights.h"

namespace tarnwick {

namespace {

constexpr QChar lineFeedSymbol(0x21B5);  // ↵

// Line breaks and tabs as visible one-line symbols.
QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), lineFeedSymbol);
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

// At most enough characters from each end of text to fill width, whole
// surrogate pairs only.
QString headAndTail(QStringView text, int width, const QFontMetrics& metrics, bool* cut) {
    const int narrowest = std::max(1, metrics.horizontalAdvance(QLatin1Char('i')) / 2);
    const qsizetype keep = width / narrowest + 8;
    *cut = text.size() > 2 * keep;
    if (!*cut) return text.toString();
    qsizetype headEnd = keep;
    if (text.at(headEnd - 1).isHighSurrogate()) --headEnd;
    qsizetype tailStart = text.size() - keep;
    if (text.at(tailStart).isLowSurrogate()) ++tailStart;
    return text.left(headEnd).toString() + text.mid(tailStart).toString();
}

// Never measures more of the text than can show, so a megabyte-long entry
// paints as fast as a short one.
QString elideMiddle(QStringView text, int width, const QFontMetrics& metrics) {
    bool cut = false;
    const QString shown = oneLine(headAndTail(text, width, metrics, &cut));
    QString elided = metrics.elidedText(shown, Qt::ElideMiddle, width);
    // A head and tail that fit whole still stand for a longer text.
    if (cut && elided == shown) {
        const qsizetype half = shown.size() / 2;
        elided = metrics.elidedText(shown.left(half) + QChar(0x2026) + shown.mid(half),
                                    Qt::ElideMiddle, width);
    }
    return elided;
}

}  // namespace

CopiedTextField::CopiedTextField(MyWindow* window, DocumentView* documentView)
    : RowField(window, documentView) {
    frame = {0, 0, 0, tfHt};
}

CopiedTextField::~CopiedTextField() {
    // The menu may be the one whose "Delete" removes this very row.
    if (myMenu) myMenu.release()->deleteLater();
}

const QString& CopiedTextField::text() const {
    return docView->history().text(row());
}

QString CopiedTextField::accessibleName() const {
    return QStringLiteral("Row %1").arg(row());
}

void CopiedTextField::entryDidChange() {
    elidedWidth_ = -1;
    updateExpand();
}

void CopiedTextField::commitPendingIndexEdit() {
    if (IndexTextField* pending = myWindow->prevIndexTextFieldWithFocus) pending->updateOrder();
    myWindow->prevIndexTextFieldWithFocus = nullptr;
}

void CopiedTextField::showButtonAboveEditor() {
    if (expandButton_) docView->showButtonAboveEditor(true);
}

void CopiedTextField::mouseDown(const RowMouseEvent&) {
    commitPendingIndexEdit();
    becomeFirstResponder();
    if (FieldEditor* editor = currentEditor()) editor->selectAll();
    showButtonAboveEditor();
}

void CopiedTextField::rightMouseDown(const RowMouseEvent& event) {
    commitPendingIndexEdit();
    if (!currentEditor()) {
        becomeFirstResponder();
        showButtonAboveEditor();
    }
    if (!myMenu) buildMenu();
    myMenu->hide();
    myMenu->popup(event.globalPos, myMenu->actions().value(0));
}

void CopiedTextField::buildMenu() {
    myMenu = std::make_unique<QMenu>();
    myMenu->setTitle(QStringLiteral("CopiedTFMenu"));
    QObject::connect(myMenu->addAction(QStringLiteral("Cut")), &QAction::triggered,
                     [this] { cut(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Copy")), &QAction::triggered,
                     [this] { cpy(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Paste")), &QAction::triggered,
                     [this] { paste(); });
    myMenu->addSeparator();
    QObject::connect(myMenu->addAction(QStringLiteral("Delete")), &QAction::triggered,
                     [this] { deleteRow(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Delete All")), &QAction::triggered,
                     [this] { deleteAll(); });
}

// The strokes pass the key filter like typed ones, so a Cut is also noted
// there.
void CopiedTextField::cut() {
    myWindow->services().keySender.postCommandKey(keycode::X);
}
void CopiedTextField::cpy() {
    myWindow->services().keySender.postCommandKey(keycode::C);
}
void CopiedTextField::paste() {
    myWindow->services().keySender.postCommandKey(keycode::V);
}

// The action of "Delete" (delete is a keyword here).
void CopiedTextField::deleteRow() {
    // A typed row number is dropped, not committed: its field may be leaving.
    myWindow->prevIndexTextFieldWithFocus = nullptr;
    docView->history().remove(row());  // destroys this field
}

void CopiedTextField::deleteAll() {
    myWindow->prevIndexTextFieldWithFocus = nullptr;
    docView->history().clear();  // destroys this field
}

bool CopiedTextField::insertNewline() {
    // Return adds a line to the entry instead of ending the edit.
    if (FieldEditor* editor = currentEditor()) editor->insertText(QStringLiteral("\n"));
    return true;
}

void CopiedTextField::mouseMoved(const RowMouseEvent& event) {
    const bool overButton = expandButton_ && docView->expandButtonRect(this).contains(event.pos);
    docView->setCursor(overButton ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void CopiedTextField::mouseExited() {
    docView->setCursor(Qt::ArrowCursor);
}

void CopiedTextField::textDidChange() {
    FieldEditor* editor = currentEditor();
    if (!editor) return;
    docView->history().edit(row(), editor->fieldText());
}

void CopiedTextField::fitHeight() {
    const bool expanded = expandButton_ && expandButton_->expanded;
    const double height = expanded ? rows::expandedRowHeight(text()) : tfHt;
    if (height == frame.height) return;
    const double before = frame.height;
    frame.height = height;
    docView->rowHeightChanged(this, before);
}

void CopiedTextField::expand() {
    if (!expandButton_) return;
    expandButton_->expanded = !expandButton_->expanded;
    fitHeight();
    docView->relayout();
}

void CopiedTextField::updateExpand() {
    const bool wantsButton = rows::hasExpandButton(text());
    if (!expandButton_ && wantsButton) {
        addExpandButton();
    } else if (expandButton_ && !wantsButton) {
        removeExpandButton();
    }
    fitHeight();
}

void CopiedTextField::addExpandButton() {
    expandButton_ = std::make_unique<MyExpandButton>();
    // Placed now: a row that keeps its height is not placed again until the
    // width changes.
    const layout::Point origin = layout::expandOrigin(frame);
    expandButton_->frame.x = origin.x;
    expandButton_->frame.y = origin.y;
    expandButton_->expanded = wasExpanded;
    // A button that appears while the row is edited shows above the editor.
    if (docView->editingField() == this) docView->showButtonAboveEditor(true);
}

void CopiedTextField::removeExpandButton() {
    wasExpanded = expandButton_->expanded;
    expandButton_.reset();
    if (docView->editingField() == this) docView->showButtonAboveEditor(false);
}

const QString& CopiedTextField::elidedLine(int width) const {
    if (elidedWidth_ != width) {
        elided_ = elideMiddle(text(), width, docView->fontMetrics());
        elidedWidth_ = width;
    }
    return elided_;
}

void CopiedTextField::paint(QPainter& painter) const {
    const QRect box = docView->qtRect(this);
    // Solid fills and text drawn at a point: outlines and rectangle-laid-out
    // text cost several times more per row, and a repaint draws every
    // visible row.
    const QPalette& palette = docView->palette();
    painter.fillRect(box.adjusted(0, 0, 0, -1), palette.color(QPalette::Base));
    painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), contrast::divider(palette));
    painter.setPen(palette.color(QPalette::Text));
    const QFontMetrics metrics = docView->fontMetrics();
    const double firstBaseline = box.top() + textInset + metrics.ascent();
    if (frame.height <= tfHt) {
        drawLine(painter, box, firstBaseline, elidedLine(firstLineWidth(box)));
    } else {
        paintExpanded(painter, box, firstBaseline);
    }
    if (expandButton_) {
        paintExpandButton(painter, QRectF(docView->expandButtonRect(this)), expandButton_->expanded,
                          expandButton_->highlighted);
    }
}

// The first line stops short of the expand button, so its end stays readable.
int CopiedTextField::firstLineWidth(const QRect& box) const {
    const int button = expandButton_ ? static_cast<int>(expandButton_->frame.width) : 0;
    return box.width() - 2 * textInset - button;
}

// A right-to-left line starts at the right edge, as the editor shows it.
void CopiedTextField::drawLine(QPainter& painter, const QRect& box, double baseline,
                               const QString& line) const {
    double x = box.left() + textInset;
    if (line.isRightToLeft())
        x = box.right() + 1 - textInset - painter.fontMetrics().horizontalAdvance(line);
    painter.drawText(QPointF(x, baseline), line);
}

// One line per line feed, as many as the row has room for, and of those only
// the ones in the exposed area: a row of a million lines paints a screenful.
void CopiedTextField::paintExpanded(QPainter& painter, const QRect& box,
                                    double firstBaseline) const {
    const QString& all = text();
    const QFontMetrics metrics = docView->fontMetrics();
    const int inner = box.width() - 2 * textInset;
    const int lines = static_cast<int>((frame.height - tfHt) / labelHt) + 1;
    const QRect exposed = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : box;
    const int first = std::max(0, static_cast<int>((exposed.top() - box.top()) / labelHt) - 1);
    const int last =
        std::min(lines, static_cast<int>((exposed.bottom() - box.top()) / labelHt) + 2);
    qsizetype start = 0;
    for (int line = 0; line < first && start <= all.size(); ++line) {
        const qsizetype end = all.indexOf(QLatin1Char('\n'), start);
        start = end < 0 ? all.size() + 1 : end + 1;
    }
    for (int line = first; line < last && start <= all.size(); ++line) {
        qsizetype end = all.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = all.size();
        const QString piece = elideMiddle(QStringView(all).mid(start, end - start),
                                          line == 0 ? firstLineWidth(box) : inner, metrics);
        drawLine(painter, box, firstBaseline + line * labelHt, piece);
        start = end + 1;
    }
}

}  // namespace tarnwick
