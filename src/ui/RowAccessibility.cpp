// SPDX-License-Identifier: MIT
#include "ui/RowAccessibility.h"

#include <QAccessibleWidget>
#include <algorithm>

#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/IndexTextField.h"
#include "ui/MyExpandButton.h"

namespace tarnwick {

// A row's expand button, named for what a press does, and pressable.
class ExpandButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ExpandButtonAccessible(DocumentView* document, RowField* field)
        : document_(document), field_(field) {}

    bool isValid() const override { return document_->holds(field_) && field_->expandButton(); }
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
    QRect rect() const override {
        const QRect local = document_->expandButtonRect(field_);
        return QRect(document_->mapToGlobal(local.topLeft()), local.size());
    }
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !isValid()) return {};
        return field_->expandButton()->expanded ? QStringLiteral("Collapse")
                                                : QStringLiteral("Expand");
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) field_->expand();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    DocumentView* document_;
    RowField* field_;
};

// One row field as an accessible element: its text and its row number, a
// pinned number as checked, an expandable text's state and its button. The
// text is also offered as read-only text, which is what AT-SPI readers ask for.
class RowFieldAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    RowFieldAccessible(DocumentView* document, const RowField* field)
        : document_(document), field_(field) {}

    bool isValid() const override { return document_->holds(field_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(document_);
    }
    QAccessibleInterface* child(int index) const override {
        if (index != 0 || !field_->expandButton()) return nullptr;
        auto& ids = document_->accessibleButtonIds_;
        auto found = ids.find(field_);
        if (found == ids.end()) {
            auto* made = new ExpandButtonAccessible(document_, const_cast<RowField*>(field_));
            found = ids.emplace(field_, QAccessible::registerAccessibleInterface(made)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int childCount() const override { return field_->expandButton() ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child == this->child(0) ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return field_->accessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.editable = true;
        // Between edits the keyboard is on the current row's text.
        const bool current = field_->row() == document_->currentRow() &&
                             dynamic_cast<const CopiedTextField*>(field_) != nullptr;
        state.focused = document_->editingField() == field_ ||
                        (document_->hasFocus() && !document_->editingField() && current);
        if (const MyExpandButton* button = field_->expandButton()) {
            state.expandable = true;
            state.expanded = button->expanded;
            state.collapsed = !button->expanded;
        }
        if (const auto* index = dynamic_cast<const IndexTextField*>(field_)) {
            state.checkable = true;
            state.checked = index->pinned();
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : nullptr;
    }
    QString text(int start, int end) const override {
        const QString all = field_->stringValue();
        if (end < 0 || end > all.size()) end = static_cast<int>(all.size());
        return all.mid(start, std::max(0, end - start));
    }
    int characterCount() const override { return static_cast<int>(field_->stringValue().size()); }
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
        const QRect local = document_->qtRect(field_);
        return QRect(document_->mapToGlobal(local.topLeft()), local.size());
    }
    QString text(QAccessible::Text kind) const override {
        const int row = field_->row();
        switch (kind) {
            case QAccessible::Name:
                return field_->accessibleName();
            case QAccessible::Value:
                return field_->stringValue();
            case QAccessible::Description: {
                const auto* index = dynamic_cast<const IndexTextField*>(field_);
                return index && index->pinned() ? QStringLiteral("Row %1, pinned").arg(row)
                                                : QStringLiteral("Row %1").arg(row);
            }
            default:
                return {};
        }
    }

private:
    DocumentView* document_;
    const RowField* field_;
};

// The rows as a list, top row first, each row's index field before its text.
class DocumentViewAccessible : public QAccessibleWidget {
public:
    explicit DocumentViewAccessible(DocumentView* document)
        : QAccessibleWidget(document, QAccessible::List), document_(document) {}

    int fieldCount() const { return 2 * document_->rowCount(); }
    int childCount() const override { return fieldCount() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        const int n = fieldCount();
        if (index < 0) return nullptr;
        if (index >= n) return QAccessibleWidget::child(index - n);
        const int row = index / 2 + 1;
        const RowField* field = index % 2 == 0
                                    ? static_cast<const RowField*>(document_->indexAt(row))
                                    : document_->copiedAt(row);
        auto& ids = document_->accessibleIds_;
        auto found = ids.find(field);
        if (found == ids.end()) {
            auto* made = new RowFieldAccessible(document_, field);
            found = ids.emplace(field, QAccessible::registerAccessibleInterface(made)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [field, id] : document_->accessibleIds_) {
            if (QAccessible::accessibleInterface(id) == child) {
                if (!document_->holds(field)) return -1;
                const bool isIndex = field == document_->indexAt(field->row());
                return 2 * (field->row() - 1) + (isIndex ? 0 : 1);
            }
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + fieldCount();
    }

private:
    DocumentView* document_;
};

QAccessibleInterface* ExpandButtonAccessible::parent() const {
    const int index = document_->holds(field_) ? 2 * (field_->row() - 1) + 1 : -1;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(document_);
    return index < 0 ? list : list->child(index);
}

namespace {

QAccessibleInterface* documentViewFactory(const QString&, QObject* object) {
    if (auto* document = qobject_cast<DocumentView*>(object)) {
        return new DocumentViewAccessible(document);
    }
    return nullptr;
}

}  // namespace

void installRowAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&documentViewFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tarnwick
