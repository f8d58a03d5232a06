// SPDX-License-Identifier: MIT
// What a screen reader is told about the rows: Qt's item-view accessibility
// names a row but has no text interface, no expanded state and no button for
// a list, so the list is described here, top row first, each row's number
// before its text.
#include <QAccessibleWidget>
#include <QHash>
#include <algorithm>
#include <array>

#include "ui/FieldEditor.h"
#include "ui/HistoryView.h"

namespace tarnwick {

namespace {

enum Piece { numberPiece, textPiece, buttonPiece };

QRect onScreen(const HistoryView* view, const QRect& local) {
    return {view->viewport()->mapToGlobal(local.topLeft()), local.size()};
}

// A row's expand button, named for what a press does, and pressable.
class ButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ButtonAccessible(HistoryView* view, const QPersistentModelIndex& index)
        : view_(view), index_(index) {}

    int row() const { return index_.row() + 1; }
    bool isValid() const override { return index_.isValid() && view_->hasButton(row()); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override { return {}; }
    QRect rect() const override { return onScreen(view_, view_->buttonRect(row())); }
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !isValid()) return {};
        return view_->isExpanded(row()) ? QStringLiteral("Collapse") : QStringLiteral("Expand");
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) view_->toggleExpanded(row());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    HistoryView* view_;
    QPersistentModelIndex index_;
};

// A row's number or text: its value, a pinned number as checked, an
// expandable text's state and its button. The value is also offered as
// read-only text, which is what AT-SPI readers ask for.
class PieceAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    PieceAccessible(HistoryView* view, const QPersistentModelIndex& index, Piece piece)
        : view_(view), index_(index), piece_(piece) {}

    int row() const { return index_.row() + 1; }
    bool isValid() const override { return index_.isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return piece_ == textPiece && view_->hasButton(row()); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child == this->child(0) ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        return piece_ == numberPiece ? QAccessible::StaticText : QAccessible::EditableText;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.editable = true;
        const bool edited =
            view_->editingRow() == row() &&
            (view_->editingPart() == HistoryView::Part::number) == (piece_ == numberPiece);
        // Between edits the keyboard is on the current row's text.
        const bool current = view_->current() == row() && piece_ == textPiece;
        state.focused = edited || (view_->hasFocus() && !view_->editor() && current);
        if (piece_ == textPiece && view_->hasButton(row())) {
            state.expandable = true;
            state.expanded = view_->isExpanded(row());
            state.collapsed = !state.expanded;
        }
        if (piece_ == numberPiece) {
            state.checkable = true;
            state.checked = view_->history().pinned(row());
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : nullptr;
    }
    QString value() const {
        if (!isValid()) return {};
        if (piece_ == textPiece) return view_->history().text(row());
        const bool typing =
            view_->editingRow() == row() && view_->editingPart() == HistoryView::Part::number;
        return typing ? view_->editor()->toPlainText() : QString::number(row());
    }
    QString text(int start, int end) const override {
        const QString all = value();
        if (end < 0 || end > all.size()) end = static_cast<int>(all.size());
        return all.mid(start, std::max(0, end - start));
    }
    int characterCount() const override { return static_cast<int>(value().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
    QRect rect() const override {
        return onScreen(view_,
                        piece_ == numberPiece ? view_->numberRect(row()) : view_->textRect(row()));
    }
    QString text(QAccessible::Text kind) const override {
        const QString name =
            piece_ == numberPiece ? QStringLiteral("Row %1 number") : QStringLiteral("Row %1");
        switch (kind) {
            case QAccessible::Name:
                return name.arg(row());
            case QAccessible::Value:
                return value();
            case QAccessible::Description:
                return piece_ == numberPiece && view_->history().pinned(row())
                           ? QStringLiteral("Row %1, pinned").arg(row())
                           : QStringLiteral("Row %1").arg(row());
            default:
                return {};
        }
    }

private:
    HistoryView* view_;
    QPersistentModelIndex index_;
    Piece piece_;
};

}  // namespace

// The rows as a list; the editor and the scroll bar come after them.
class HistoryAccessible : public QAccessibleWidget {
public:
    explicit HistoryAccessible(HistoryView* view)
        : QAccessibleWidget(view, QAccessible::List), view_(view) {}
    ~HistoryAccessible() override {
        for (const auto& ids : std::as_const(ids_))
            for (const QAccessible::Id id : ids)
                if (id) QAccessible::deleteAccessibleInterface(id);
    }

    int pieceCount() const { return 2 * view_->rowCount(); }
    int childCount() const override { return pieceCount() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0) return nullptr;
        if (index >= pieceCount()) return QAccessibleWidget::child(index - pieceCount());
        return piece(index / 2 + 1, index % 2 == 0 ? numberPiece : textPiece);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto found = ids_.cbegin(); found != ids_.cend(); ++found) {
            for (const Piece piece : {numberPiece, textPiece}) {
                if (!found.key().isValid() || !found.value()[piece] ||
                    QAccessible::accessibleInterface(found.value()[piece]) != child)
                    continue;
                return 2 * found.key().row() + (piece == textPiece ? 1 : 0);
            }
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + pieceCount();
    }

    // The interface of one piece of a row, made once and kept while the row is.
    QAccessibleInterface* piece(int row, Piece piece) const {
        // Rows that left drop their interfaces.
        if (ids_.size() > 2 * view_->rowCount() + 16) {
            for (auto it = ids_.begin(); it != ids_.end();) {
                if (it.key().isValid()) {
                    ++it;
                    continue;
                }
                for (const QAccessible::Id id : *it)
                    if (id) QAccessible::deleteAccessibleInterface(id);
                it = ids_.erase(it);
            }
        }
        const QPersistentModelIndex index(view_->history().index(row - 1, 0));
        QAccessible::Id& id = ids_[index][piece];
        if (!id) {
            QAccessibleInterface* made =
                piece == buttonPiece
                    ? static_cast<QAccessibleInterface*>(new ButtonAccessible(view_, index))
                    : new PieceAccessible(view_, index, piece);
            id = QAccessible::registerAccessibleInterface(made);
        }
        return QAccessible::accessibleInterface(id);
    }

private:
    HistoryView* view_;
    mutable QHash<QPersistentModelIndex, std::array<QAccessible::Id, 3>> ids_;
};

namespace {

HistoryAccessible* listOf(HistoryView* view) {
    return static_cast<HistoryAccessible*>(QAccessible::queryAccessibleInterface(view));
}

QAccessibleInterface* PieceAccessible::child(int index) const {
    if (index != 0 || !childCount()) return nullptr;
    return listOf(view_)->piece(row(), buttonPiece);
}

QAccessibleInterface* ButtonAccessible::parent() const {
    return index_.isValid() ? listOf(view_)->piece(row(), textPiece) : listOf(view_);
}

QAccessibleInterface* historyViewFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<HistoryView*>(object)) return new HistoryAccessible(view);
    return nullptr;
}

}  // namespace

void installHistoryAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&historyViewFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tarnwick
