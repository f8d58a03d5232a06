// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QColor>
#include <QPoint>
#include <QString>

#include "ui/Layout.h"

class QMenu;
class QPainter;
class QPalette;
class QPlainTextEdit;

namespace tarnwick {

class DocumentView;
class FieldEditor;
struct MyExpandButton;
class MyWindow;

// A mouse event as a row field sees it.
struct RowMouseEvent {
    QPoint pos;        // in the document view, top-left origin
    QPoint globalPos;  // on the screen
};

// One field of a history row. Not a widget: the document view keeps the fields
// of each row in the history's order, paints them and hands them its mouse
// events, so that a row costs a few hundred bytes even with tens of thousands
// of rows.
class RowField {
public:
    RowField(MyWindow* window, DocumentView* documentView);
    virtual ~RowField();
    RowField(const RowField&) = delete;
    RowField& operator=(const RowField&) = delete;

    virtual QString stringValue() const = 0;

    // The window's field editor while this field is being edited, else null.
    FieldEditor* currentEditor() const;
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

    // How the field editor shows this field.
    virtual Qt::Alignment editorAlignment() const { return Qt::AlignLeft; }
    // Whether a left click inside the field editor goes to the field itself
    // instead of placing the caret.
    virtual bool takesClicksWhileEdited() const { return false; }
    virtual QColor editorBackground(const QPalette& base) const;
    // Whether the editor widens to show all of a typed text.
    virtual bool editorFitsText() const { return false; }
    // The layout ran while this field is edited: the editor follows it.
    virtual void layoutDidRun(QPlainTextEdit&) {}
    // The row's expand button, if this field carries it.
    virtual MyExpandButton* expandButton() const { return nullptr; }
    // A press of that button; lays the window out.
    virtual void expand() {}
    // The menu once built.
    virtual QMenu* menu() const = 0;
    virtual QAccessible::Role accessibleRole() const = 0;
    virtual QString accessibleName() const = 0;

    // Its row number, read from its place in the document view.
    int row() const;

    layout::Frame frame;  // in the document view, bottom-left origin
    // Its place counted from the bottom row, kept by the document view: a
    // new row 1 changes no other row's slot.
    int slot = 0;
    MyWindow* myWindow;
    DocumentView* docView;
};

}  // namespace tarnwick
