#pragma once

#include <QPoint>
#include <QString>

#include "ui/Layout.h"
#include "ui/UserInterface.h"

class QPainter;
class QPlainTextEdit;

namespace tarnwick {

// A mouse event as a row field sees it.
struct RowMouseEvent {
    QPoint pos;        // in the document view, top-left origin
    QPoint globalPos;  // on the screen
};

// One field of a history row. Not a widget: the document view keeps the fields
// in its ordered list, paints them and hands them its mouse events, so that a
// row costs a few hundred bytes even with tens of thousands of rows.
class RowField {
public:
    RowField(UserInterface::MyWindow* window, DocumentView* documentView);
    virtual ~RowField();
    RowField(const RowField&) = delete;
    RowField& operator=(const RowField&) = delete;

    virtual QString stringValue() const { return text_; }
    virtual void setStringValue(const QString& text) { text_ = text; }

    // The window's field editor while this field is being edited, else null.
    QPlainTextEdit* currentEditor() const;
    // Starts editing this field (no selection change when it already is).
    void becomeFirstResponder();

    virtual void paint(QPainter& painter) const = 0;
    virtual void mouseDown(const RowMouseEvent& event) = 0;
    virtual void rightMouseDown(const RowMouseEvent& event) = 0;
    virtual void mouseMoved(const RowMouseEvent&) {}
    virtual void mouseExited() {}
    // Return or Enter in the field editor; true when handled.
    virtual bool insertNewline() = 0;
    // The field editor changed the text.
    virtual void textDidChange() = 0;

    layout::Frame frame;  // in the document view, bottom-left origin
    UserInterface::MyWindow* myWindow;
    DocumentView* docView;

protected:
    QString text_;
};

}  // namespace tarnwick
