#include "ui/DocumentView.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>
#include <ranges>

#include "app/Globals.h"
#include "history/BufferChecker.h"
#include "ui/ButtonOverlay.h"
#include "ui/CopiedTextField.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/QtGeometry.h"
#include "ui/RowAccessibility.h"
#include "ui/RowModel.h"

namespace tarnwick {

using CopiedTextField = UserInterface::CopiedTextField;
using IndexTextField = UserInterface::IndexTextField;

DocumentView::DocumentView(Pasteboard& pasteboard)
    : frameHeight_(2 * gapAroundCopiedText),
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

DocumentView::~DocumentView() {
    removeAllSubviews();
}

std::pair<std::unique_ptr<CopiedTextField>, std::unique_ptr<IndexTextField>> DocumentView::makeRow(
    const QString& text) {
    auto copied = std::make_unique<CopiedTextField>(window_, this, text);
    // Provisional: the layout writes the real row number.
    const auto number = window_ ? window_->services().engine.bufferArray.size() : 0;
    auto index = std::make_unique<IndexTextField>(window_, this, number);
    index->frame = {gapAroundCopiedText, frameHeight_ - tfHt - gapAroundCopiedText, 1.15 * tfHt,
                    tfHt};
    return {std::move(copied), std::move(index)};
}

int DocumentView::positionOf(const RowField* field) const {
    const auto it = std::find_if(subviews_.begin(), subviews_.end(),
                                 [field](const auto& view) { return view.get() == field; });
    return it == subviews_.end() ? -1 : static_cast<int>(it - subviews_.begin());
}

void DocumentView::addSubview(std::unique_ptr<RowField> field) {
    subviews_.push_back(std::move(field));
}

void DocumentView::addSubviewAtFront(std::unique_ptr<RowField> field) {
    subviews_.insert(subviews_.begin(), std::move(field));
}

void DocumentView::applySlotOrder(const rows::SlotOrder& order) {
    const bool unchanged = static_cast<int>(order.size()) * 2 == count() &&
                           std::equal(order.begin(), order.end(),
                                      std::views::iota(0, static_cast<int>(order.size())).begin());
    if (unchanged) return;
    std::vector<std::unique_ptr<RowField>> next;
    next.reserve(order.size() * 2);
    for (const int old : order) {
        if (old == rows::filler) {
            auto [copied, index] = makeRow(QString());
            CopiedTextField* filler = copied.get();
            next.push_back(std::move(copied));
            next.push_back(std::move(index));
            filler->updateExpand();
            continue;
        }
        next.push_back(std::move(subviews_[2 * old]));
        next.push_back(std::move(subviews_[2 * old + 1]));
    }
    subviews_.swap(next);
    next.clear();  // the rows left out go here
    update();
}

void DocumentView::removeAllSubviews() {
    endEditing();
    std::vector<std::unique_ptr<RowField>> gone;
    gone.swap(subviews_);
    gone.clear();
    update();
}

std::vector<bool> DocumentView::pinnedBySlot() const {
    std::vector<bool> pinned(subviews_.size() / 2);
    for (std::size_t s = 0; s < pinned.size(); ++s) {
        pinned[s] = static_cast<const IndexTextField*>(subviews_[2 * s + 1].get())->pinned;
    }
    return pinned;
}

QStringList DocumentView::rowTexts() const {
    const int n = count();
    QStringList texts;
    texts.reserve(n / 2);
    for (int row = 1; row <= n / 2; ++row) {
        const RowField* field = subviews_[rowmodel::copiedPosition(n, row)].get();
        texts.append(static_cast<const CopiedTextField*>(field)->text());
    }
    return texts;
}

void DocumentView::setFrameHeight(double height) {
    frameHeight_ = height;
    resize(width(), qRound(height));
}

void DocumentView::placeRows(layout::RowStacker& stacker) {
    const int rows = count() / 2;
    for (int slot = rows - 1; slot >= 0; --slot) {
        auto* copied = static_cast<CopiedTextField*>(subviews_[2 * slot].get());
        auto* index = static_cast<IndexTextField*>(subviews_[2 * slot + 1].get());
        const layout::RowFrames frames = stacker.next(copied->frame.height);
        index->frame = frames.index;
        index->setRowNumber(frames.rowNumber);
        copied->frame = frames.copied;
        if (copied->expandButton) {
            copied->expandButton->frame.x = frames.expandOrigin.x;
            copied->expandButton->frame.y = frames.expandOrigin.y;
        }
    }
    placeEditor();
    syncEditorText();
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
        const bool isIndex = dynamic_cast<IndexTextField*>(field) != nullptr;
        option.setAlignment(isIndex ? Qt::AlignHCenter : Qt::AlignLeft);
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
    if (hadFocus && window_) window_->setFocus(Qt::OtherFocusReason);
    update();
}

void DocumentView::matchEditorBackground() {
    const auto* index = dynamic_cast<const UserInterface::IndexTextField*>(editingField_);
    QPalette colours = editor_->palette();
    colours.setColor(QPalette::Base, index && index->pinned
                                         ? UserInterface::IndexTextField::pinnedColor()
                                         : palette().color(QPalette::Base));
    editor_->setPalette(colours);
}

void DocumentView::showButtonAboveEditor(bool show) {
    auto* copied = dynamic_cast<CopiedTextField*>(editingField_);
    if (!show || !copied || !copied->expandButton) {
        buttonOverlay_->hide();
        buttonOverlay_->field = nullptr;
        return;
    }
    buttonOverlay_->field = copied;
    buttonOverlay_->setGeometry(expandButtonRect(copied));
    buttonOverlay_->show();
    buttonOverlay_->raise();
    buttonOverlay_->update();
}

void DocumentView::placeEditor() {
    if (!editingField_) return;
    editor_->setGeometry(qtRect(editingField_));
    if (buttonOverlay_->isVisible()) showButtonAboveEditor(true);
}

void DocumentView::syncEditorText() {
    // The layout rewrites row numbers; an index field being edited shows it.
    auto* index = dynamic_cast<IndexTextField*>(editingField_);
    if (!index) return;
    const QString number = index->stringValue();
    if (editor_->toPlainText() == number) return;
    const QSignalBlocker quiet(editor_);
    editor_->setPlainText(number);
    editor_->selectAll();
}

QRect DocumentView::qtRect(const RowField* field) const {
    return toQRect(field->frame, frameHeight_);
}

QRect DocumentView::expandButtonRect(const CopiedTextField* field) const {
    if (!field->expandButton) return {};
    const QRect inField = toQRect(field->expandButton->frame, field->frame.height);
    return inField.translated(qtRect(field).topLeft());
}

std::pair<int, int> DocumentView::slotsIntersecting(double top, double bottom) const {
    // Rows are stacked: the higher the slot, the higher the row.
    const double low = frameHeight_ - bottom;
    const double high = frameHeight_ - top;
    const int rows = count() / 2;
    const auto allSlots = std::views::iota(0, rows);
    const auto first = std::ranges::partition_point(allSlots, [&](int s) {
        const layout::Frame& f = subviews_[2 * s]->frame;
        return f.y + f.height <= low;
    });
    int last = *first;
    while (last < rows && subviews_[2 * last]->frame.y < high) ++last;
    return {*first, last};
}

RowField* DocumentView::fieldAt(const QPoint& pos) const {
    const auto [from, to] = slotsIntersecting(pos.y(), pos.y() + 1);
    for (int s = from; s < to; ++s) {
        for (int p : {2 * s + 1, 2 * s}) {
            if (qtRect(subviews_[p].get()).contains(pos)) return subviews_[p].get();
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

}  // namespace tarnwick
