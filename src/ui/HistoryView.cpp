// SPDX-License-Identifier: MIT
#include "ui/HistoryView.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "history/RowNumber.h"
#include "platform/Alert.h"
#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "ui/ExpandButtonPainter.h"
#include "ui/FieldEditor.h"
#include "ui/Layout.h"
#include "ui/Metrics.h"
#include "ui/MyWindow.h"
#include "ui/RowDelegate.h"
#include "ui/RowHeights.h"

namespace tarnwick {

void installHistoryAccessibility();

namespace {

// The expand button drawn above the editor of its row's text; presses on it
// go to the view as presses on the button.
class ButtonOverlay : public QWidget {
public:
    explicit ButtonOverlay(HistoryView* view) : QWidget(view->viewport()), view_(view) { hide(); }

protected:
    void paintEvent(QPaintEvent*) override {
        const int row = view_->editingRow();
        if (row == 0) return;
        QPainter painter(this);
        paintExpandButton(painter, QRectF(rect()), view_->isExpanded(row),
                          view_->pressedButtonRow() == row);
    }
    void mousePressEvent(QMouseEvent* event) override { forward(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { forward(event); }

private:
    void forward(QMouseEvent* event) {
        QMouseEvent mapped(event->type(), mapToParent(event->position()), event->globalPosition(),
                           event->button(), event->buttons(), event->modifiers());
        QCoreApplication::sendEvent(view_->viewport(), &mapped);
    }
    HistoryView* view_;
};

}  // namespace

HistoryView::RowState::~RowState() {
    // The menu may be the one whose "Delete" removes this very row.
    if (textMenu) textMenu.release()->deleteLater();
    if (numberMenu) numberMenu.release()->deleteLater();
}

HistoryView::HistoryView(BufferChecker& engine, HistoryModel& history)
    : engine_(engine), history_(history), delegate_(new RowDelegate(this)) {
    installHistoryAccessibility();
    setModel(&history);
    setItemDelegate(delegate_);
    overlay_ = new ButtonOverlay(this);
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers);
    setTabKeyNavigation(false);
    setAutoScroll(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    const int gap = static_cast<int>(gapAroundCopiedText);
    setViewportMargins(gap, gap, gap, gap);
    // The number fields show the window behind them, as the gaps do.
    viewport()->setBackgroundRole(QPalette::Window);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    connect(&history, &HistoryModel::changeEnded, this, &HistoryView::changeEnded);
}

HistoryView::~HistoryView() {
    disconnect(&history_, nullptr, this, nullptr);
}

QRect HistoryView::rowRect(int row) const {
    return visualRect(at(row));
}

std::vector<std::pair<int, int>> HistoryView::tallRows() const {
    std::vector<std::pair<int, int>> tall;
    for (const auto& s : states_)
        if (s->extra > 0 && s->index.isValid()) tall.emplace_back(s->index.row() + 1, s->extra);
    std::ranges::sort(tall);
    return tall;
}

int HistoryView::rowTop(int row) const {
    int top = band * (row - 1);
    for (const auto& [tall, extra] : tallRows()) {
        if (tall >= row) break;
        top += extra;
    }
    return top;
}

int HistoryView::rowsHeight() const {
    return rowTop(rowCount() + 1);
}

int HistoryView::rowAtY(int y) const {
    const int inRows = y + verticalOffset();
    if (inRows < 0) return 0;
    int skipped = 0;  // the extra heights of the tall rows above
    for (const auto& [tall, extra] : tallRows()) {
        const int top = band * (tall - 1) + skipped;
        if (inRows < top) break;
        if (inRows < top + band + extra) return tall;
        skipped += extra;
    }
    const int row = (inRows - skipped) / band + 1;
    return row <= rowCount() ? row : 0;
}

QRect HistoryView::visualRect(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    const int row = index.row() + 1;
    const RowState* s = const_cast<HistoryView*>(this)->state(row, false);
    const int height = band + (s ? s->extra : 0);
    return {0, rowTop(row) - verticalOffset(), viewport()->width(), height};
}

QModelIndex HistoryView::indexAt(const QPoint& point) const {
    const int row = rowAtY(point.y());
    return row ? at(row) : QModelIndex();
}

int HistoryView::verticalOffset() const {
    return verticalScrollBar()->value();
}

void HistoryView::scrollTo(const QModelIndex& index, ScrollHint) {
    const QRect box = visualRect(index);
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    if (box.top() < 0 || box.height() > height) {
        bar->setValue(bar->value() + box.top());
    } else if (box.bottom() >= height) {
        bar->setValue(bar->value() + box.bottom() + 1 - height);
    }
}

void HistoryView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy);
}

// Only the rows in the exposed area are painted.
void HistoryView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.setClipRect(area);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (int row = std::max(1, rowAtY(area.top())); row <= rowCount(); ++row) {
        option.rect = visualRect(at(row));
        if (option.rect.top() > area.bottom()) break;
        delegate_->paint(&painter, option, at(row));
    }
}

int HistoryView::numberWidth(int digits) const {
    if (static_cast<int>(numberWidths_.size()) <= digits) numberWidths_.resize(digits + 1, -1);
    int& width = numberWidths_[digits];
    // A little room on each side of the digits, as a text field's cell has.
    if (width < 0) width = fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + 8;
    return width;
}

QRect HistoryView::numberRect(int row) const {
    const QRect box = rowRect(row);
    return {box.left(), box.top(), numberWidth(layout::digitCount(row)), static_cast<int>(tfHt)};
}

QRect HistoryView::textRect(int row) const {
    const QRect box = rowRect(row);
    const int number = numberWidth(layout::digitCount(row));
    return box.adjusted(number, 0, 0, 0);
}

QRect HistoryView::buttonRect(int row) const {
    if (!hasButton(row)) return {};
    const QRect text = textRect(row);
    return {text.right() - 9, text.top(), 10, 10};
}

int HistoryView::documentHeight() const {
    return rowsHeight() + 2 * static_cast<int>(gapAroundCopiedText);
}

HistoryView::Part HistoryView::partAt(const QPoint& pos, int* row) const {
    const int found = rowAtY(pos.y());
    *row = found;
    if (found <= 0) return Part::none;
    if (buttonRect(found).contains(pos)) return Part::button;
    if (textRect(found).contains(pos)) return Part::text;
    if (numberRect(found).contains(pos)) return Part::number;
    return Part::none;
}

bool HistoryView::hasButton(int row) const {
    return row >= 1 && row <= rowCount() && rows::hasExpandButton(history_.text(row));
}

HistoryView::RowState* HistoryView::state(int row, bool make) {
    for (const auto& s : states_)
        if (s->index.isValid() && s->index.row() == row - 1) return s.get();
    if (!make) return nullptr;
    states_.push_back(std::make_unique<RowState>());
    states_.back()->index = at(row);
    return states_.back().get();
}

bool HistoryView::isExpanded(int row) const {
    if (!hasButton(row)) return false;
    const RowState* s = const_cast<HistoryView*>(this)->state(row, false);
    return s && s->expanded;
}

void HistoryView::toggleExpanded(int row) {
    if (!hasButton(row)) return;
    RowState* s = state(row, true);
    s->expanded = !s->expanded;
    changeEnded();
}

// Only the expanded rows have a height of their own, kept with the row.
void HistoryView::fitHeights() {
    for (const auto& s : states_) {
        const int row = s->index.row() + 1;
        const double extra = s->index.isValid() && isExpanded(row)
                                 ? rows::expandedRowHeight(history_.text(row)) - band
                                 : 0;
        s->extra = static_cast<int>(std::min<double>(extra, 1 << 30));
    }
}

void HistoryView::changeEnded() {
    std::erase_if(states_, [](const auto& s) { return !s->index.isValid(); });
    if (editor_ && !editing_.isValid()) {
        // The edited row has left; Qt took its editor away.
        editor_ = nullptr;
        setState(NoState);
    }
    fitHeights();
    updateGeometries();
    refreshNumberEditor();
    placeOverlay();
    if (window_) window_->windowDidResize();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

void HistoryView::setCurrent(int row) {
    if (row < 1 || row > rowCount()) return;
    currentRow_ = row;
    scrollTo(at(row));
    viewport()->update();
}

void HistoryView::updateGeometries() {
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(band);
    bar->setPageStep(viewport()->height());
    bar->setRange(0, std::max(0, rowsHeight() - viewport()->height()));
    QAbstractItemView::updateGeometries();
}

void HistoryView::open(int row, Part part) {
    if (editor_ && editingRow() == row && editingPart_ == part) return;
    endEditing();
    setCurrent(row);
    editingPart_ = part;
    numberTyped_ = false;
    setState(NoState);
    editing_ = at(row);
    QAbstractItemView::edit(editing_, AllEditTriggers, nullptr);
    if (!editor_) return;
    editor_->setAccessibleName(part == Part::number ? QStringLiteral("Row %1 number").arg(row)
                                                    : QStringLiteral("Row %1").arg(row));
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        if (!editor_ || !editing_.isValid()) return;
        if (editingPart_ == Part::text) {
            history_.edit(editing_.row() + 1, editor_->fieldText());
        } else {
            numberTyped_ = true;
            updateEditorGeometries();
        }
    });
    editor_->viewport()->installEventFilter(this);
    if (window_) editor_->installEventFilter(window_);
    updateEditorGeometries();
    placeOverlay();
}

void HistoryView::editText(int row) {
    open(row, Part::text);
}
void HistoryView::editNumber(int row) {
    open(row, Part::number);
}

void HistoryView::endEditing() {
    if (!editor_) return;
    FieldEditor* editor = editor_;
    editor_ = nullptr;
    editing_ = QPersistentModelIndex();
    overlay_->hide();
    disconnect(editor, nullptr, this, nullptr);
    // A closed editor keeps no copy of a large text alive.
    editor->blockSignals(true);
    editor->setFieldText(QString());
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    viewport()->update();
}

void HistoryView::refreshNumberEditor() {
    if (!editor_ || editingPart_ != Part::number) return;
    delegate_->setEditorData(editor_, editing_);
    updateEditorGeometries();
}

void HistoryView::placeOverlay() {
    const int row = editingRow();
    if (row == 0 || editingPart_ != Part::text || !hasButton(row)) return overlay_->hide();
    overlay_->setAccessibleName(isExpanded(row) ? QStringLiteral("Collapse")
                                                : QStringLiteral("Expand"));
    overlay_->setGeometry(buttonRect(row));
    overlay_->show();
    overlay_->raise();
    overlay_->update();
}

void HistoryView::commitPending() {
    const QPersistentModelIndex pending = pending_;
    pending_ = QPersistentModelIndex();
    commit(pending);
}

void HistoryView::commitEditedNumber() {
    if (editor_ && editingPart_ == Part::number) commit(QPersistentModelIndex(editing_));
}

void HistoryView::commit(const QPersistentModelIndex& pending) {
    if (!pending.isValid()) return;  // a row that has left commits nothing
    const int row = pending.row() + 1;
    const bool typed = editor_ && editingPart_ == Part::number && editing_ == pending;
    // Once committed the editor shows the row number again, also when the
    // input was refused.
    const QString number = typed ? editor_->toPlainText() : QString::number(row);
    numberTyped_ = false;
    if (history_.commitRowNumber(row, number) == HistoryModel::Commit::rejected && window_)
        window_->services().alert.beep();
    refreshNumberEditor();
}

void HistoryView::dropPending() {
    pending_ = QPersistentModelIndex();
    numberTyped_ = false;
    endEditing();
}

void HistoryView::press(int row, Part part, const QMouseEvent* event) {
    const bool right = event->button() == Qt::RightButton;
    if (part == Part::none) {
        // A click beside the rows reaches the window, as on an empty part of it.
        if (window_) right ? window_->rightMouseDown() : window_->mouseDown();
        return;
    }
    if (part == Part::button && !right) {
        pressedButton_ = at(row);
        viewport()->update(buttonRect(row));
        overlay_->update();
        return;
    }
    if (part == Part::button) part = Part::text;
    // The commit may move rows: the row pressed is followed, not its number.
    const QPersistentModelIndex target = at(row);
    commitPending();
    if (!target.isValid()) return;
    row = target.row() + 1;
    const bool wasEditing = editingRow() == row && editingPart_ == part;
    if (!right || !wasEditing) open(row, part);
    if (part == Part::number) pending_ = target;
    if (!right) {
        if (editor_) editor_->selectAll();
        return;
    }
    showMenu(row, part, event->globalPosition().toPoint());
}

void HistoryView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    int row = 0;
    const Part part = partAt(event->position().toPoint(), &row);
    press(row, part, event);
}

void HistoryView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void HistoryView::mouseReleaseEvent(QMouseEvent* event) {
    const QPersistentModelIndex pressed = pressedButton_;
    pressedButton_ = QPersistentModelIndex();
    if (!pressed.isValid()) return;
    const int row = pressed.row() + 1;
    viewport()->update(buttonRect(row));
    overlay_->update();
    if (buttonRect(row).contains(event->position().toPoint())) toggleExpanded(row);
}

void HistoryView::mouseMoveEvent(QMouseEvent* event) {
    int row = 0;
    const bool overText = partAt(event->position().toPoint(), &row) == Part::text;
    viewport()->setCursor(overText ? Qt::IBeamCursor : Qt::ArrowCursor);
}

bool HistoryView::eventFilter(QObject* watched, QEvent* event) {
    // A right click in the editor shows the row's own menu, never the
    // editor's; a row number selects all on every click (a quick second one
    // arrives as a double click).
    const QEvent::Type type = event->type();
    if (editor_ && watched == editor_->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool right = mouse->button() == Qt::RightButton;
        if ((right && type == QEvent::MouseButtonPress) ||
            (mouse->button() == Qt::LeftButton && editingPart_ == Part::number)) {
            press(editingRow(), editingPart_, mouse);
            return true;
        }
    }
    return QAbstractItemView::eventFilter(watched, event);
}

void HistoryView::keyPressEvent(QKeyEvent* event) {
    const int row = current();
    if (row == 0) return QWidget::keyPressEvent(event);
    const int key = event->key();
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    const auto pressOn = [&](Part part, Qt::MouseButton button) {
        const QPoint centre = (part == Part::number ? numberRect(row) : textRect(row)).center();
        const QMouseEvent mouse(QEvent::MouseButtonPress, centre, viewport()->mapToGlobal(centre),
                                button, button, Qt::NoModifier);
        press(row, part, &mouse);
    };
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        setCurrent(std::clamp(row + (key == Qt::Key_Down ? 1 : -1), 1, rowCount()));
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
        pressOn(Part::text, Qt::LeftButton);
    } else if (menuKey) {
        pressOn(Part::text, Qt::RightButton);
    } else if ((key == Qt::Key_Right || key == Qt::Key_Left) && hasButton(row)) {
        // Right opens a row's further lines, Left closes them, as in a tree.
        if (isExpanded(row) != (key == Qt::Key_Right)) toggleExpanded(row);
    } else if (event->text().size() == 1 && event->text().front().isDigit()) {
        // A digit starts a new row number, as a click in the number and the
        // digit typed would.
        pressOn(Part::number, Qt::LeftButton);
        if (editor_) editor_->insertText(event->text());
    } else {
        return QWidget::keyPressEvent(event);
    }
    event->accept();
}

QMenu* HistoryView::textMenu(int row, bool build) {
    RowState* s = state(row, build);
    if (!s) return nullptr;
    if (!s->textMenu && build) {
        const QPersistentModelIndex index = s->index;
        auto menu = std::make_unique<QMenu>();
        menu->setTitle(QStringLiteral("CopiedTFMenu"));
        // The strokes pass the key filter like typed ones, so a Cut is also
        // noted there.
        for (const auto& [title, key] :
             {std::pair{"Cut", keycode::X}, std::pair{"Copy", keycode::C},
              std::pair{"Paste", keycode::V}}) {
            connect(menu->addAction(QString::fromLatin1(title)), &QAction::triggered, this,
                    [this, key] {
                        if (window_) window_->services().keySender.postCommandKey(key);
                    });
        }
        menu->addSeparator();
        connect(menu->addAction(QStringLiteral("Delete")), &QAction::triggered, this,
                [this, index] { deleteRow(index); });
        connect(menu->addAction(QStringLiteral("Delete All")), &QAction::triggered, this,
                [this] { deleteAll(); });
        s->textMenu = std::move(menu);
    }
    return s->textMenu.get();
}

QMenu* HistoryView::numberMenu(int row, bool build) {
    RowState* s = state(row, build);
    if (!s) return nullptr;
    if (!s->numberMenu && build) {
        // Built once: a row first opened at 10 or above keeps its pin item
        // wherever it moves, one first opened beyond 10 never gets one.
        const QPersistentModelIndex index = s->index;
        auto menu = std::make_unique<QMenu>();
        menu->setTitle(QStringLiteral("IndexTFMenu"));
        connect(menu->addAction(QStringLiteral("Delete")), &QAction::triggered, this,
                [this, index] { deleteRow(index); });
        connect(menu->addAction(QStringLiteral("Delete All")), &QAction::triggered, this,
                [this] { deleteAll(); });
        if (rows::offersPinItem(QString::number(row))) {
            menu->addSeparator();
            QAction* pin = menu->addAction(history_.pinned(row) ? QStringLiteral("Unpin")
                                                                : QStringLiteral("Pin"));
            connect(pin, &QAction::triggered, this, [this, index, pin] {
                if (!index.isValid()) return;
                const bool pinned = !history_.pinned(index.row() + 1);
                pin->setText(pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin"));
                history_.setPinned(index.row() + 1, pinned);
            });
        }
        s->numberMenu = std::move(menu);
    }
    return s->numberMenu.get();
}

void HistoryView::showMenu(int row, Part part, const QPoint& global) {
    QMenu* menu = part == Part::number ? numberMenu(row, true) : textMenu(row, true);
    menu->hide();
    menu->popup(global, menu->actions().value(0));
}

void HistoryView::deleteRow(const QPersistentModelIndex& row) {
    // A typed row number is dropped, not committed: its row may be leaving.
    pending_ = QPersistentModelIndex();
    if (row.isValid()) history_.remove(row.row() + 1);
}

void HistoryView::deleteAll() {
    pending_ = QPersistentModelIndex();
    history_.clear();
}

}  // namespace tarnwick
