// How a copied-text field looks: one line elided in the middle, or all its
// lines when its row is expanded. Never measures more of the text than can
// show, so a megabyte-long entry paints as fast as a short one.
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "app/Globals.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/MyExpandButton.h"

namespace tarnwick {

namespace {

constexpr QChar lineFeedSymbol(0x21B5);  // ↵
constexpr int padding = 3;

// Line breaks and tabs as visible one-line symbols.
QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), lineFeedSymbol);
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

// At most enough characters from each end of text to fill width, whole
// surrogate pairs only.
QString headAndTail(const QString& text, int width, const QFontMetrics& metrics, bool* cut) {
    const int narrowest = std::max(1, metrics.horizontalAdvance(QLatin1Char('i')) / 2);
    const qsizetype keep = width / narrowest + 8;
    *cut = text.size() > 2 * keep;
    if (!*cut) return text;
    qsizetype headEnd = keep;
    if (text.at(headEnd - 1).isHighSurrogate()) --headEnd;
    qsizetype tailStart = text.size() - keep;
    if (text.at(tailStart).isLowSurrogate()) ++tailStart;
    return text.left(headEnd) + text.mid(tailStart);
}

QString elideMiddle(const QString& text, int width, const QFontMetrics& metrics) {
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

const QString& UserInterface::CopiedTextField::elidedLine(int width) const {
    if (elidedWidth_ != width) {
        elided_ = elideMiddle(text_, width, docView->fontMetrics());
        elidedWidth_ = width;
    }
    return elided_;
}

void UserInterface::CopiedTextField::paint(QPainter& painter) const {
    const QRect box = docView->qtRect(this);
    // Solid fills and text drawn at a point: outlines and rectangle-laid-out
    // text cost several times more per row, and a repaint draws every
    // visible row.
    const QPalette& palette = docView->palette();
    painter.fillRect(box.adjusted(0, 0, 0, -1), palette.color(QPalette::Base));
    painter.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), palette.color(QPalette::Mid));
    painter.setPen(palette.color(QPalette::Text));
    const QFontMetrics metrics = docView->fontMetrics();
    const int inner = box.width() - 2 * padding;
    const double firstBaseline = box.top() + (tfHt + metrics.ascent() - metrics.descent()) / 2.0;
    if (frame.height <= tfHt) {
        painter.drawText(QPointF(box.left() + padding, firstBaseline), elidedLine(inner));
    } else {
        // Expanded: one line per line feed, as many as the row has room for.
        const int lines = static_cast<int>((frame.height - tfHt) / labelHt) + 1;
        qsizetype start = 0;
        for (int line = 0; line < lines && start <= text_.size(); ++line) {
            qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
            if (end < 0) end = text_.size();
            const QString piece = elideMiddle(text_.mid(start, end - start), inner, metrics);
            painter.drawText(QPointF(box.left() + padding, firstBaseline + line * labelHt), piece);
            start = end + 1;
        }
    }
    if (expandButton) expandButton->paint(painter, docView->expandButtonRect(this));
}

}  // namespace tarnwick
