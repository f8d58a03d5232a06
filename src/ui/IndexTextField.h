// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <memory>

#include "ui/RowField.h"

class QMenu;

namespace tarnwick {

// The row number of a row: typing a new one moves the row; pinned rows keep
// their number.
class IndexTextField : public RowField {
public:
    IndexTextField(MyWindow* window, DocumentView* documentView);
    ~IndexTextField() override;

    // The typed text while one is pending, else the row number.
    QString stringValue() const override;
    void setStringValue(const QString& text);
    // The layout shows the row number again.
    void dropTypedNumber() { typed_ = QString(); }
    bool pinned() const;

    void mouseDown(const RowMouseEvent& event) override;
    void rightMouseDown(const RowMouseEvent& event) override;
    bool insertNewline() override;
    void textDidChange() override;
    void paint(QPainter& painter) const override;
    Qt::Alignment editorAlignment() const override { return Qt::AlignHCenter; }
    // Every click selects the whole number, so typing replaces it.
    bool takesClicksWhileEdited() const override { return true; }
    QColor editorBackground(const QPalette& base) const override;
    // "123" typed into a one-digit row number shows whole.
    bool editorFitsText() const override { return true; }
    void layoutDidRun(QPlainTextEdit& editor) override;
    QMenu* menu() const override { return myMenu.get(); }
    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleName() const override;

    // Commits the typed row number.
    void updateOrder();
    void togglePinned();

    // The background of a pinned row's number.
    static QColor pinnedColor() { return QColor::fromRgbF(1.0f, 0.5f, 0.0f); }
    std::unique_ptr<QMenu> myMenu;

private:
    void commitPendingIndexEdit();
    void buildMenu();

    QString typed_;  // null unless a typed row number is pending
};

}  // namespace tarnwick
