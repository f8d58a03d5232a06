#include "ui/RowAccessibility.h"

#include <QAccessibleWidget>

#include "ui/DocumentView.h"
#include "ui/IndexTextField.h"
#include "ui/RowModel.h"

namespace tarnwick {

// One row field as an accessible element: its text and its row number.
class RowFieldAccessible : public QAccessibleInterface {
public:
    RowFieldAccessible(DocumentView* document, const RowField* field)
        : document_(document), field_(field) {}

    bool isValid() const override { return document_->positionOf(field_) >= 0; }
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
    QAccessible::Role role() const override {
        return isIndex() ? QAccessible::StaticText : QAccessible::EditableText;
    }
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
        const int row = rowmodel::rowNumber(document_->count(), document_->positionOf(field_));
        switch (kind) {
            case QAccessible::Name:
                return isIndex() ? QStringLiteral("Row %1 number").arg(row)
                                 : QStringLiteral("Row %1").arg(row);
            case QAccessible::Value:
                return field_->stringValue();
            case QAccessible::Description:
                return QStringLiteral("Row %1").arg(row);
            default:
                return {};
        }
    }

private:
    bool isIndex() const {
        return dynamic_cast<const UserInterface::IndexTextField*>(field_) != nullptr;
    }
    DocumentView* document_;
    const RowField* field_;
};

// The rows as a list, top row first, each row's index field before its text.
class DocumentViewAccessible : public QAccessibleWidget {
public:
    explicit DocumentViewAccessible(DocumentView* document)
        : QAccessibleWidget(document, QAccessible::List), document_(document) {}

    int childCount() const override { return document_->count() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        const int n = document_->count();
        if (index < 0) return nullptr;
        if (index >= n) return QAccessibleWidget::child(index - n);
        const RowField* field = document_->at(n - 1 - index);
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
                return document_->count() - 1 - document_->positionOf(field);
            }
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + document_->count();
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
