// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "ui/RowField.h"

class QMenu;
class QRect;

namespace tarnwick {

struct MyExpandButton;

// The text of one history entry, read from the history model; editing it
// edits the entry, and for row 1 the clipboard, after every change.
class CopiedTextField : public RowField {
public:
    CopiedTextField(MyWindow* window, DocumentView* documentView);
    ~CopiedTextField() override;

    // The entry's text itself, shared with the history.
    const QString& text() const;
    QString stringValue() const override { return text(); }

    void mouseDown(const RowMouseEvent& event) override;
    void rightMouseDown(const RowMouseEvent& event) override;
    void mouseMoved(const RowMouseEvent& event) override;
    void mouseExited() override;
    bool insertNewline() override;
    void textDidChange() override;
    void paint(QPainter& painter) const override;
    MyExpandButton* expandButton() const override { return expandButton_.get(); }
    QMenu* menu() const override { return myMenu.get(); }
    QAccessible::Role accessibleRole() const override { return QAccessible::EditableText; }
    QString accessibleName() const override;

    // The history changed this row's text: the one-line form, the button and
    // the height follow. No layout.
    void entryDidChange();

    // Menu actions.
    void cut();
    void cpy();
    void paste();
    void deleteRow();
    void deleteAll();

    // Presses of the expand button; lays the window out.
    void expand() override;
    // The button and the height follow the text; no layout.
    void updateExpand();

    bool wasExpanded = false;
    std::unique_ptr<QMenu> myMenu;

private:
    void addExpandButton();
    void removeExpandButton();
    void fitHeight();
    void commitPendingIndexEdit();
    void showButtonAboveEditor();
    void buildMenu();
    const QString& elidedLine(int width) const;
    int firstLineWidth(const QRect& box) const;
    void drawLine(QPainter& painter, const QRect& box, double baseline, const QString& line) const;
    void paintExpanded(QPainter& painter, const QRect& box, double firstBaseline) const;

    std::unique_ptr<MyExpandButton> expandButton_;
    // The one-line form of the text, cached for the width it was made for.
    mutable QString elided_;
    mutable int elidedWidth_ = -1;
};

}  // namespace tarnwick
