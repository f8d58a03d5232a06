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
    painter.setPen(QColor(0, 0, 0, 40));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(docView->palette().color(QPalette::Text));
    const QRect inner = box.adjusted(padding, 0, -padding, 0);
    if (frame.height <= tfHt) {
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, elidedLine(inner.width()));
    } else {
        // Expanded: one line per line feed, as many as the row has room for.
        const QFontMetrics metrics = docView->fontMetrics();
        const int lines = static_cast<int>((frame.height - tfHt) / labelHt) + 1;
        int y = box.top() + static_cast<int>((tfHt - metrics.height()) / 2);
        qsizetype start = 0;
        for (int line = 0; line < lines && start <= text_.size(); ++line) {
            qsizetype end = text_.indexOf(QLatin1Char('\n'), start);
            if (end < 0) end = text_.size();
            const QString piece =
                elideMiddle(text_.mid(start, end - start), inner.width(), metrics);
            painter.drawText(QRect(inner.left(), y, inner.width(), metrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, piece);
            y += static_cast<int>(labelHt);
            start = end + 1;
        }
    }
    if (expandButton) expandButton->paint(painter, docView->expandButtonRect(this));
}

}  // namespace tarnwick
