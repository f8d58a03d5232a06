// SPDX-License-Identifier: MIT
#include "ui/RowAccessibility.h"

#include <QAccessibleWidget>

#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/IndexTextField.h"

namespace tarnwick {

// One row field as an accessible element: its text and its row number.
class RowFieldAccessible : public QAccessibleInterface {
public:
    RowFieldAccessible(DocumentView* document, const RowField* field)
        : document_(document), field_(field) {}

    bool isValid() const override { return document_->holds(field_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent()->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(document_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return field_->accessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.editable = true;
        state.focused = document_->editingField() == field_;
        return state;
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
            case QAccessible::Description:
                return QStringLiteral("Row %1").arg(row);
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
