#pragma once

#include <QColor>

#include <memory>

#include "ui/RowField.h"

class QMenu;

namespace tarnwick {

// The row number of a row: typing a new one moves the row; pinned rows keep
// their number.
class UserInterface::IndexTextField : public RowField {
public:
    IndexTextField(MyWindow* window, DocumentView* documentView, long long rowNumber);
    ~IndexTextField() override;

    // The typed text while one is pending, else the row number.
    QString stringValue() const override;
    void setStringValue(const QString& text) override;
    // Written by the layout; drops any typed text.
    void setRowNumber(long long rowNumber);
    long long rowNumber() const { return rowNumber_; }

    void mouseDown(const RowMouseEvent& event) override;
    void rightMouseDown(const RowMouseEvent& event) override;
    bool insertNewline() override;
    void textDidChange() override;
    void paint(QPainter& painter) const override;

    // Commits the typed row number.
    void updateOrder();
    void togglePinned();

    bool pinned = false;
    // The background of a pinned row's number.
    static QColor pinnedColor() { return QColor::fromRgbF(1.0f, 0.5f, 0.0f); }
    std::unique_ptr<QMenu> myMenu;

private:
    void commitPendingIndexEdit();
    void buildMenu();

    long long rowNumber_ = 0;
};

}  // namespace tarnwick
