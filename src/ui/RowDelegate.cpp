// SPDX-License-Identifier: MIT
#include "ui/RowDelegate.h"

#include <QPainter>
#include <QPen>
#include <QSignalBlocker>
#include <algorithm>

#include "ui/Contrast.h"
#include "ui/ExpandButtonPainter.h"
#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"
#include "ui/Metrics.h"

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

// A right-to-left line starts at the right edge, as the editor shows it.
void drawLine(QPainter& painter, const QRect& box, double baseline, const QString& line) {
    double x = box.left() + textInset;
    if (line.isRightToLeft())
        x = box.right() + 1 - textInset - painter.fontMetrics().horizontalAdvance(line);
    painter.drawText(QPointF(x, baseline), line);
}

}  // namespace

RowDelegate::RowDelegate(HistoryView* view) : QStyledItemDelegate(view), view_(view) {}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem&,
                        const QModelIndex& index) const {
    const int row = index.row() + 1;
    const QPalette& palette = view_->palette();
    // Solid fills and text drawn at a point: outlines and rectangle-laid-out
    // text cost several times more per row, and a repaint draws every
    // visible row.
    const QRect number = view_->numberRect(row);
    const bool pinned = view_->history().pinned(row);
    if (pinned) painter->fillRect(number, pinnedColor());
    painter->setPen(pinned ? contrast::textOn(pinnedColor()) : palette.color(QPalette::Text));
    painter->drawText(number.adjusted(0, textInset, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                      QString::number(row));
    paintText(*painter, view_->textRect(row), row);
    // Where the keyboard is, when it is on the rows.
    if (view_->hasFocus() && view_->current() == row) {
        painter->setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter->drawRect(number.united(view_->textRect(row)).adjusted(0, 0, -1, -1));
    }
}

// One line per line feed, and of those only the ones in the exposed area: a
// row of a million lines paints a screenful.
void RowDelegate::paintText(QPainter& painter, const QRect& box, int row) const {
    const QPalette& palette = view_->palette();
    // The table sets no clip: what shows is what lies in the viewport.
    QRect exposed = box.intersected(view_->viewport()->rect());
    if (painter.hasClipping())
        exposed = exposed.intersected(painter.clipBoundingRect().toAlignedRect());
    painter.fillRect(exposed.intersected(box.adjusted(0, 0, 0, -1)), palette.color(QPalette::Base));
    painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), contrast::divider(palette));
    painter.setPen(palette.color(QPalette::Text));
    const QFontMetrics metrics = view_->fontMetrics();
    const double firstBaseline = box.top() + textInset + metrics.ascent();
    const QString& all = view_->history().text(row);
    const QRect button = view_->buttonRect(row);
    // The first line stops short of the expand button, so its end stays readable.
    const int inner = box.width() - 2 * textInset;
    const int firstWidth = inner - button.width();
    if (!view_->isExpanded(row)) {
        drawLine(painter, box, firstBaseline, elideMiddle(all, firstWidth, metrics));
    } else {
        const int lines = static_cast<int>((box.height() - tfHt) / labelHt) + 1;
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
                                              line == 0 ? firstWidth : inner, metrics);
            drawLine(painter, box, firstBaseline + line * labelHt, piece);
            start = end + 1;
        }
    }
    if (!button.isEmpty()) {
        paintExpandButton(painter, QRectF(button), view_->isExpanded(row),
                          view_->pressedButtonRow() == row);
    }
}

QWidget* RowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                   const QModelIndex&) const {
    auto* editor = new FieldEditor(view_->engine(), parent);
    view_->editor_ = editor;
    if (view_->editingPart_ == HistoryView::Part::number) {
        QTextOption option = editor->document()->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        editor->document()->setDefaultTextOption(option);
    }
    return editor;
}

void RowDelegate::setEditorData(QWidget* widget, const QModelIndex& index) const {
    auto* editor = static_cast<FieldEditor*>(widget);
    const int row = index.row() + 1;
    const bool number = view_->editingPart_ == HistoryView::Part::number;
    const QSignalBlocker quiet(editor);
    if (!number) {
        // The edit itself changed the history: the editor has the text already.
        if (editor->fieldText() != view_->history().text(row))
            editor->setFieldText(view_->history().text(row));
        return;
    }
    // The number shown until one is typed; a typed one survives a copy arriving.
    if (!view_->numberTyped_ && editor->toPlainText() != QString::number(row)) {
        editor->setPlainText(QString::number(row));
        editor->selectAll();
    }
    // A pinned number stays orange while it is typed into; a dark theme's
    // light text would not read on it.
    QPalette colours = editor->palette();
    const QColor base = view_->palette().color(QPalette::Base);
    const QColor background = view_->history().pinned(row) ? pinnedColor() : base;
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, background == base ? view_->palette().color(QPalette::Text)
                                                        : contrast::textOn(background));
    editor->setPalette(colours);
}

void RowDelegate::updateEditorGeometry(QWidget* widget, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
    auto* editor = static_cast<FieldEditor*>(widget);
    const int row = index.row() + 1;
    const bool number = view_->editingPart_ == HistoryView::Part::number;
    // The row's divider stays in sight under the editor.
    QRect box = (number ? view_->numberRect(row) : view_->textRect(row)).adjusted(0, 0, 0, -1);
    if (number) {
        // "123" typed into a one-digit row number shows whole.
        const int text = editor->fontMetrics().horizontalAdvance(editor->toPlainText());
        box.setWidth(std::max(box.width(), text + 2 * textInset + 2));
    }
    editor->setGeometry(box);
    view_->placeOverlay();
}

}  // namespace tarnwick
