// SPDX-License-Identifier: MIT
#include "ui/RowField.h"

#include <QPalette>

#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"

namespace tarnwick {

RowField::RowField(MyWindow* window, DocumentView* documentView)
    : myWindow(window), docView(documentView) {}

RowField::~RowField() {
    if (docView) docView->fieldDestroyed(this);
}

int RowField::row() const {
    return docView->rowCount() - slot;
}

QColor RowField::editorBackground(const QPalette& base) const {
    return base.color(QPalette::Base);
}

FieldEditor* RowField::currentEditor() const {
    return docView && docView->editingField() == this ? docView->editor() : nullptr;
}

void RowField::becomeFirstResponder() {
    if (docView && docView->editingField() != this) docView->beginEditing(this);
}

}  // namespace tarnwick
