// SPDX-License-Identifier: MIT
#include "ui/DocumentView.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "ui/ButtonOverlay.h"
#include "ui/Contrast.h"
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

DocumentView::DocumentView(BufferChecker& engine, HistoryModel& history)
    : history_(history),
      frameHeight_(2 * gapAroundCopiedText),
      editor_(new FieldEditor(engine, this)),
      buttonOverlay_(new ButtonOverlay(this)) {
    installRowAccessibility();
    setMouseTracking(true);
    resize(0, qRound(frameHeight_));
    editor_->viewport()->installEventFilter(this);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (editingField_) editingField_->textDidChange();
        placeEditor();
    });
}

void DocumentView::setWindow(MyWindow* window) {
    window_ = window;
    follow(history_);
    rowsReset();
}

void DocumentView::follow(HistoryModel& history) {
    // Qt counts rows from 0 and names the place a moved row lands before;
    // the rows here are numbered from 1.
    connect(&history, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int) { rowInserted(first + 1); });
    connect(&history, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int) { rowRemoved(first + 1); });
    connect(&history, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int first, int, const QModelIndex&, int before) {
                rowMoved(first + 1, before > first ? before : before + 1);
            });
    connect(&history, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom) {
                for (int row = top.row(); row <= bottom.row(); ++row) rowChanged(row + 1);
            });
    connect(&history, &QAbstractItemModel::modelReset, this, [this] { rowsReset(); });
    connect(&history, &HistoryModel::changeEnded, this, [this] { rowsChangeEnded(); });
}

DocumentView::~DocumentView() {
    detach();
}

void DocumentView::detach() {
    disconnect(&history_, nullptr, this, nullptr);
    removeAllRows();
}

bool DocumentView::holds(const RowField* field) const {
    const int s = field->slot;
    return s >= 0 && s < rowCount() &&
           (field == rows_[static_cast<std::size_t>(s)].copied.get() ||
            field == rows_[static_cast<std::size_t>(s)].index.get());
}

CopiedTextField* DocumentView::copiedBeside(const IndexTextField* index) const {
    return holds(index) ? rows_[static_cast<std::size_t>(index->slot)].copied.get() : nullptr;
}

QStringList DocumentView::rowTexts() const {
    QStringList texts;
    texts.reserve(rowCount());
    for (auto view = rows_.rbegin(); view != rows_.rend(); ++view)
        texts.append(view->copied->text());
    return texts;
}

void DocumentView::rowInserted(int row) {
    addTextField(row);
}

void DocumentView::addTextField(int row) {
    auto copied = std::make_unique<CopiedTextField>(window_, this);
    auto index = std::make_unique<IndexTextField>(window_, this);
    // Until the layout places it, the number field sits at the top left.
    index->frame = {gapAroundCopiedText, frameHeight_ - tfHt - gapAroundCopiedText, 1.15 * tfHt,
                    tfHt};
    CopiedTextField* field = copied.get();
    const std::size_t slot = rows_.size() + 1 - static_cast<std::size_t>(row);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(slot),
                 RowView(std::move(copied), std::move(index)));
    renumberFrom(slot);
    // Held from here: a taller row reports what it adds.
    rowsHeight_ += field->frame.height;
    field->updateExpand();
}

void DocumentView::renumberFrom(std::size_t from) {
    for (std::size_t s = from; s < rows_.size(); ++s) {
        rows_[s].copied->slot = rows_[s].index->slot = static_cast<int>(s);
    }
    unplacedFrom_ = std::min(unplacedFrom_, from);
}

void DocumentView::rowRemoved(int row) {
    const std::size_t slot = slotOf(row);
    // Taken out of the list first: the fields' destructors look them up.
    RowView gone = std::move(rows_[slot]);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(slot));
    rowsHeight_ -= gone.copied->frame.height;
    renumberFrom(slot);
}

void DocumentView::rowMoved(int from, int to) {
    const auto first = rows_.begin();
    const auto source = static_cast<std::ptrdiff_t>(slotOf(from));
    const auto target = static_cast<std::ptrdiff_t>(slotOf(to));
    if (source > target) {
        std::rotate(first + target, first + source, first + source + 1);
    } else {
        std::rotate(first + source, first + source + 1, first + target + 1);
    }
    // Only the slots between the two places change; renumbering the rest
    // above them as well keeps this simple, and a move is rare.
    renumberFrom(static_cast<std::size_t>(std::min(source, target)));
}

void DocumentView::rowChanged(int row) {
    RowView& view = rows_[slotOf(row)];
    view.copied->entryDidChange();
    if (editingField_ == view.index.get()) matchEditorBackground();
}

void DocumentView::rowsReset() {
    removeAllRows();
    for (int row = 1; row <= history_.count(); ++row) addTextField(row);
}

void DocumentView::rowsChangeEnded() {
    relayout();
}

void DocumentView::removeAllRows() {
    endEditing();
    std::vector<RowView> gone;
    gone.swap(rows_);
    gone.clear();
    rowsHeight_ = 0;
    unplacedFrom_ = 0;
    update();
}

void DocumentView::relayout() {
    const double height = 2 * gapAroundCopiedText + rowsHeight_;
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

void DocumentView::rowHeightChanged(const RowField* field, double before) {
    if (!holds(field)) return;
    rowsHeight_ += field->frame.height - before;
    unplacedFrom_ = std::min(unplacedFrom_, static_cast<std::size_t>(field->slot));
}

void DocumentView::noteTypedNumber(IndexTextField* field) {
    if (std::find(typedNumbers_.begin(), typedNumbers_.end(), field) == typedNumbers_.end()) {
        typedNumbers_.push_back(field);
    }
}

void DocumentView::placeRow(std::size_t slot, double bottom) {
    RowView& view = rows_[slot];
    const layout::RowFrames frames =
        layout::placeRow(view.copied->row(), bottom, view.copied->frame.height, placedBase_, tfHt,
                         [this](int digits) { return indexWidthForDigits(digits); });
    view.index->frame = frames.index;
    view.copied->frame = frames.copied;
    if (MyExpandButton* button = view.copied->expandButton()) {
        button->frame.x = frames.expandOrigin.x;
        button->frame.y = frames.expandOrigin.y;
    }
}

void DocumentView::placeRows(double widthBase) {
    if (widthBase != placedBase_) {
        placedBase_ = widthBase;
        unplacedFrom_ = 0;
    }
    const std::size_t n = rows_.size();
    // An operation changes the number of a row that keeps its slot by one at
    // most, so of the placed rows only those now at a power of ten or one
    // below it can have another digit count, and so another index width.
    for (std::size_t power = 10; power - 1 <= n; power *= 10) {
        for (const std::size_t row : {power - 1, power}) {
            if (row > n) continue;
            const std::size_t slot = n - row;
            if (slot < unplacedFrom_) placeRow(slot, rows_[slot].copied->frame.y);
        }
    }
    double bottom = gapAroundCopiedText;
    if (unplacedFrom_ > 0 && unplacedFrom_ <= n) {
        const layout::Frame& below = rows_[unplacedFrom_ - 1].copied->frame;
        bottom = below.y + below.height;
    }
    for (std::size_t slot = unplacedFrom_; slot < n; ++slot) {
        placeRow(slot, bottom);
        bottom += rows_[slot].copied->frame.height;
    }
    unplacedFrom_ = n;
    // Every row number shows again instead of a typed one, except the one the
    // user is still typing: a copy arriving meanwhile must not eat the input.
    std::erase_if(typedNumbers_, [this](IndexTextField* typed) {
        if (typed == editingField_) return false;
        typed->dropTypedNumber();
        return true;
    });
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
    currentRow_ = field->row();
    editor_->setAccessibleName(field->accessibleName());
    {
        const QSignalBlocker quiet(editor_);
        // The alignment before the text: set after it, it lays the text out again.
        QTextOption option = editor_->document()->defaultTextOption();
        option.setAlignment(field->editorAlignment());
        editor_->document()->setDefaultTextOption(option);
        editor_->setFieldText(field->stringValue());
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
        editor_->setFieldText(QString());
    }
    // The keyboard goes back to the rows, on the row just edited.
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    update();
}

void DocumentView::matchEditorBackground() {
    QPalette colours = editor_->palette();
    const QColor base = palette().color(QPalette::Base);
    const QColor background = editingField_ ? editingField_->editorBackground(palette()) : base;
    colours.setColor(QPalette::Base, background);
    // A dark theme's light text would not read on the pinned orange.
    colours.setColor(QPalette::Text, background == base ? palette().color(QPalette::Text)
                                                        : contrast::textOn(background));
    editor_->setPalette(colours);
}

void DocumentView::showButtonAboveEditor(bool show) {
    if (!show || !editingField_ || !editingField_->expandButton()) {
        buttonOverlay_->hide();
        buttonOverlay_->field = nullptr;
        return;
    }
    buttonOverlay_->field = editingField_;
    buttonOverlay_->setAccessibleName(editingField_->expandButton()->expanded
                                          ? QStringLiteral("Collapse")
                                          : QStringLiteral("Expand"));
    buttonOverlay_->setGeometry(expandButtonRect(editingField_));
    buttonOverlay_->show();
    buttonOverlay_->raise();
    buttonOverlay_->update();
}

void DocumentView::placeEditor() {
    if (!editingField_) return;
    // The row's divider stays in sight under the editor.
    QRect box = qtRect(editingField_).adjusted(0, 0, 0, -1);
    if (editingField_->editorFitsText()) {
        const int text = editor_->fontMetrics().horizontalAdvance(editor_->toPlainText());
        box.setWidth(std::max(box.width(), text + 2 * textInset + 2));
    }
    editor_->setGeometry(box);
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
    // Row 1 is the top row: rows further down (lower slots) have lower frames.
    const double low = frameHeight_ - shownTop_ - bottom;
    const double high = frameHeight_ - shownTop_ - top;
    // Slots count up from the bottom row, whose frame is lowest.
    const auto first = std::partition_point(rows_.begin(), rows_.end(), [&](const RowView& v) {
        return v.copied->frame.y + v.copied->frame.height <= low;
    });
    const auto last = std::partition_point(
        first, rows_.end(), [&](const RowView& v) { return v.copied->frame.y < high; });
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
    std::erase(typedNumbers_, field);
    if (window_ && window_->prevIndexTextFieldWithFocus == field) {
        window_->prevIndexTextFieldWithFocus = nullptr;
    }
    for (auto* ids : {&accessibleIds_, &accessibleButtonIds_}) {
        const auto id = ids->find(field);
        if (id == ids->end()) continue;
        QAccessible::deleteAccessibleInterface(id->second);
        ids->erase(id);
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
    // Where the keyboard is, when it is on the rows.
    if (hasFocus() && currentRow() > 0) {
        const QRect row = qtRect(copiedAt(currentRow())).united(qtRect(indexAt(currentRow())));
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(row.adjusted(0, 0, -1, -1));
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
    // editor's; a field that selects all on every click gets its left clicks
    // (a quick second one arrives as a double click).
    const QEvent::Type type = event->type();
    if (watched == editor_->viewport() && editingField_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const RowMouseEvent rowMouse{editor_->viewport()->mapTo(this, mouse->position().toPoint()),
                                     mouse->globalPosition().toPoint()};
        if (mouse->button() == Qt::RightButton && type == QEvent::MouseButtonPress) {
            editingField_->rightMouseDown(rowMouse);
            return true;
        }
        if (mouse->button() == Qt::LeftButton && editingField_->takesClicksWhileEdited()) {
            editingField_->mouseDown(rowMouse);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
