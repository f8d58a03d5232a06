#include "ui/DocumentView.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "ui/ButtonOverlay.h"
#include "ui/CopiedTextField.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/Metrics.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/QtGeometry.h"
#include "ui/RowAccessibility.h"

namespace tarnwick {

DocumentView::RowView::RowView(std::unique_ptr<CopiedTextField> c,
                               std::unique_ptr<IndexTextField> i)
    : copied(std::move(c)), index(std::move(i)) {}
DocumentView::RowView::RowView(RowView&&) noexcept = default;
DocumentView::RowView& DocumentView::RowView::operator=(RowView&&) noexcept = default;
DocumentView::RowView::~RowView() = default;

DocumentView::DocumentView(Pasteboard& pasteboard, HistoryModel& history)
    : history_(history),
      frameHeight_(2 * gapAroundCopiedText),
      editor_(new FieldEditor(pasteboard, this)),
      buttonOverlay_(new ButtonOverlay(this)) {
    installRowAccessibility();
    setMouseTracking(true);
    resize(0, qRound(frameHeight_));
    editor_->viewport()->installEventFilter(this);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (editingField_) editingField_->textDidChange();
    });
}

void DocumentView::setWindow(MyWindow* window) {
    window_ = window;
    history_.setListener(this);
    rowsReset();
}

DocumentView::~DocumentView() {
    detach();
}

void DocumentView::detach() {
    history_.setListener(nullptr);
    removeAllRows();
}

bool DocumentView::holds(const RowField* field) const {
    const int r = field->row;
    return r >= 1 && r <= rowCount() &&
           (field == rows_[r - 1].copied.get() || field == rows_[r - 1].index.get());
}

CopiedTextField* DocumentView::copiedBeside(const IndexTextField* index) const {
    return holds(index) ? copiedAt(index->row) : nullptr;
}

QStringList DocumentView::rowTexts() const {
    QStringList texts;
    texts.reserve(rowCount());
    for (const RowView& view : rows_) texts.append(view.copied->text());
    return texts;
}

void DocumentView::rowInserted(int row) {
    addTextField(row);
}

void DocumentView::addTextField(int row) {
    auto copied = std::make_unique<CopiedTextField>(window_, this);
    auto index = std::make_unique<IndexTextField>(window_, this);
    copied->row = index->row = row;
    // Until the layout places it, the number field sits at the top left.
    index->frame = {gapAroundCopiedText, frameHeight_ - tfHt - gapAroundCopiedText, 1.15 * tfHt,
                    tfHt};
    copied->updateExpand();
    rows_.insert(rows_.begin() + (row - 1), RowView(std::move(copied), std::move(index)));
}

void DocumentView::rowRemoved(int row) {
    // Taken out of the list first: the fields' destructors look them up.
    RowView gone = std::move(rows_[static_cast<std::size_t>(row - 1)]);
    rows_.erase(rows_.begin() + (row - 1));
}

void DocumentView::rowMoved(int from, int to) {
    const auto first = rows_.begin();
    if (from < to) {
        std::rotate(first + (from - 1), first + from, first + to);
    } else {
        std::rotate(first + (to - 1), first + (from - 1), first + from);
    }
}

void DocumentView::rowChanged(int row) {
    RowView& view = rows_[static_cast<std::size_t>(row - 1)];
    view.copied->row = view.index->row = row;
    view.copied->entryDidChange();
    if (editingField_ == view.index.get()) matchEditorBackground();
}

void DocumentView::rowsReset() {
    removeAllRows();
    for (int row = 1; row <= history_.count(); ++row) addTextField(row);
}

void DocumentView::rowsChangeEnded() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].copied->row = rows_[i].index->row = static_cast<int>(i) + 1;
    }
    relayout();
}

void DocumentView::removeAllRows() {
    endEditing();
    std::vector<RowView> gone;
    gone.swap(rows_);
    gone.clear();
    update();
}

void DocumentView::relayout() {
    double height = 2 * gapAroundCopiedText;
    for (const RowView& view : rows_) height += view.copied->frame.height;
    frameHeight_ = height;
    // A widget is at most 16,777,215 px high: a taller document shows a span
    // of itself, which followScroll() moves along.
    shownTop_ = std::clamp(shownTop_, 0.0, std::max(0.0, height - shownSpan));
    resize(width(), qRound(std::min(height, shownSpan)));
    // Before the window is first shown nothing is laid out; showing it lays
    // out every row.
    if (window_) window_->windowDidResize();
    update();
}

void DocumentView::placeRows(layout::RowStacker& stacker) {
    for (RowView& view : rows_) {
        const layout::RowFrames frames = stacker.next(view.copied->frame.height);
        view.index->frame = frames.index;
        view.index->setRowNumber(frames.rowNumber);
        view.copied->frame = frames.copied;
        if (MyExpandButton* button = view.copied->expandButton()) {
            button->frame.x = frames.expandOrigin.x;
            button->frame.y = frames.expandOrigin.y;
        }
    }
    placeEditor();
    if (editingField_) editingField_->layoutDidRun(*editor_);
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

double DocumentView::indexWidthForDigits(int digits) const {
    if (static_cast<int>(indexWidths_.size()) <= digits) indexWidths_.resize(digits + 1, -1);
    double& width = indexWidths_[digits];
    // A little room on each side of the digits, as a text field's cell has.
    if (width < 0) width = fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + 8;
    return width;
}

void DocumentView::beginEditing(RowField* field) {
    if (editingField_ == field) return;
    editingField_ = field;
    {
        const QSignalBlocker quiet(editor_);
        editor_->setPlainText(field->stringValue());
        QTextOption option = editor_->document()->defaultTextOption();
        option.setAlignment(field->editorAlignment());
        editor_->document()->setDefaultTextOption(option);
    }
    buttonOverlay_->hide();
    matchEditorBackground();
    placeEditor();
    editor_->show();
    editor_->raise();
    editor_->setFocus(Qt::MouseFocusReason);
}

void DocumentView::endEditing() {
    if (!editingField_) return;
    editingField_ = nullptr;
    buttonOverlay_->hide();
    buttonOverlay_->field = nullptr;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    {
        // A hidden editor keeps no copy of a large text alive.
        const QSignalBlocker quiet(editor_);
        editor_->clear();
    }
    if (hadFocus && window_) window_->setFocus(Qt::OtherFocusReason);
    update();
}

void DocumentView::matchEditorBackground() {
    QPalette colours = editor_->palette();
    colours.setColor(QPalette::Base, editingField_ ? editingField_->editorBackground(palette())
                                                   : palette().color(QPalette::Base));
    editor_->setPalette(colours);
}

void DocumentView::showButtonAboveEditor(bool show) {
    if (!show || !editingField_ || !editingField_->expandButton()) {
        buttonOverlay_->hide();
        buttonOverlay_->field = nullptr;
        return;
    }
    buttonOverlay_->field = editingField_;
    buttonOverlay_->setGeometry(expandButtonRect(editingField_));
    buttonOverlay_->show();
    buttonOverlay_->raise();
    buttonOverlay_->update();
}

void DocumentView::placeEditor() {
    if (!editingField_) return;
    editor_->setGeometry(qtRect(editingField_));
    if (buttonOverlay_->isVisible()) showButtonAboveEditor(true);
}

QRect DocumentView::qtRect(const RowField* field) const {
    return toQRect(field->frame, frameHeight_).translated(0, -qRound(shownTop_));
}

void DocumentView::followScroll(QScrollBar& bar) {
    if (frameHeight_ <= shownSpan) return;
    // Near either end of the shown span, move the span by half its height and
    // the scroll bar back by as much, so the same content stays in view.
    const double margin = shownSpan / 4;
    const double value = bar.value();
    double shift = 0;
    if (value > bar.maximum() - margin) {
        shift = std::min(frameHeight_ - shownSpan - shownTop_, shownSpan / 2);
    } else if (value < margin) {
        shift = -std::min(shownTop_, shownSpan / 2);
    }
    if (shift == 0) return;
    shownTop_ += shift;
    placeEditor();
    update();
    bar.setValue(qRound(value - shift));
}

QRect DocumentView::expandButtonRect(const RowField* field) const {
    const MyExpandButton* button = field->expandButton();
    if (!button) return {};
    const QRect inField = toQRect(button->frame, field->frame.height);
    return inField.translated(qtRect(field).topLeft());
}

std::pair<int, int> DocumentView::rowsIntersecting(double top, double bottom) const {
    // Row 1 is the top row: rows further down have lower frames.
    const double low = frameHeight_ - shownTop_ - bottom;
    const double high = frameHeight_ - shownTop_ - top;
    const auto first = std::partition_point(
        rows_.begin(), rows_.end(), [&](const RowView& v) { return v.copied->frame.y >= high; });
    auto last = first;
    while (last != rows_.end() && last->copied->frame.y + last->copied->frame.height > low) ++last;
    return {static_cast<int>(first - rows_.begin()), static_cast<int>(last - rows_.begin())};
}

RowField* DocumentView::fieldAt(const QPoint& pos) const {
    const auto [from, to] = rowsIntersecting(pos.y(), pos.y() + 1);
    for (int i = from; i < to; ++i) {
        const RowView& view = rows_[static_cast<std::size_t>(i)];
        for (RowField* field : {static_cast<RowField*>(view.index.get()),
                                static_cast<RowField*>(view.copied.get())}) {
            if (qtRect(field).contains(pos)) return field;
        }
    }
    return nullptr;
}

void DocumentView::fieldDestroyed(const RowField* field) {
    if (editingField_ == field) endEditing();
    if (hovered_ == field) hovered_ = nullptr;
    if (pressedButtonField_ == field) pressedButtonField_ = nullptr;
    if (window_ && window_->prevIndexTextFieldWithFocus == field) {
        window_->prevIndexTextFieldWithFocus = nullptr;
    }
    const auto id = accessibleIds_.find(field);
    if (id != accessibleIds_.end()) {
        QAccessible::deleteAccessibleInterface(id->second);
        accessibleIds_.erase(id);
    }
}

// Painting and mouse handling only look at the rows that intersect the area
// concerned.

void DocumentView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.setClipRect(exposed);
    const auto [from, to] = rowsIntersecting(exposed.top(), exposed.bottom() + 1);
    for (int i = from; i < to; ++i) {
        rows_[static_cast<std::size_t>(i)].copied->paint(painter);
        rows_[static_cast<std::size_t>(i)].index->paint(painter);
    }
}

RowMouseEvent DocumentView::rowEvent(const QMouseEvent* event) const {
    return {event->position().toPoint(), event->globalPosition().toPoint()};
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const RowMouseEvent rowMouse = rowEvent(event);
    RowField* field = fieldAt(rowMouse.pos);
    if (event->button() == Qt::LeftButton) {
        MyExpandButton* button = field ? field->expandButton() : nullptr;
        if (button && expandButtonRect(field).contains(rowMouse.pos)) {
            pressedButtonField_ = field;
            button->highlighted = true;
            update(expandButtonRect(field));
            if (buttonOverlay_->isVisible()) buttonOverlay_->update();
            return;
        }
        // A click beside the rows reaches the window, as on an empty part of it.
        if (field) {
            field->mouseDown(rowMouse);
        } else if (window_) {
            window_->mouseDown();
        }
    } else if (event->button() == Qt::RightButton) {
        if (field) {
            field->rightMouseDown(rowMouse);
        } else if (window_) {
            window_->rightMouseDown();
        }
    }
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
    RowField* field = pressedButtonField_;
    pressedButtonField_ = nullptr;
    MyExpandButton* button = field ? field->expandButton() : nullptr;
    if (!button) return;
    button->highlighted = false;
    const QRect square = expandButtonRect(field);
    update(square);
    if (buttonOverlay_->isVisible()) buttonOverlay_->update();
    if (square.contains(event->position().toPoint())) field->expand();
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
    const RowMouseEvent rowMouse = rowEvent(event);
    RowField* field = fieldAt(rowMouse.pos);
    if (field != hovered_ && hovered_) hovered_->mouseExited();
    hovered_ = field;
    if (field) field->mouseMoved(rowMouse);
}

void DocumentView::leaveEvent(QEvent*) {
    if (hovered_) hovered_->mouseExited();
    hovered_ = nullptr;
}

bool DocumentView::eventFilter(QObject* watched, QEvent* event) {
    // A right click in the field editor shows the field's own menu, never the
    // editor's.
    if (watched == editor_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton && editingField_) {
            const QPoint pos = editor_->viewport()->mapTo(this, mouse->position().toPoint());
            editingField_->rightMouseDown({pos, mouse->globalPosition().toPoint()});
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
