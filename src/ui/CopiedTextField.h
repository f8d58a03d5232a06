#pragma once

#include <memory>

#include "ui/RowField.h"

class QMenu;

namespace tarnwick {

// The text of one history entry; editing it rewrites the entry, and for the
// newest entry the clipboard, after every change.
class UserInterface::CopiedTextField : public RowField {
public:
    CopiedTextField(MyWindow* window, DocumentView* documentView, const QString& text);
    ~CopiedTextField() override;

    void setStringValue(const QString& text) override;
    // The entry's text itself, shared with the history list.
    const QString& text() const { return text_; }

    void mouseDown(const RowMouseEvent& event) override;
    void rightMouseDown(const RowMouseEvent& event) override;
    void mouseMoved(const RowMouseEvent& event) override;
    void mouseExited() override;
    bool insertNewline() override;
    void textDidChange() override;
    void paint(QPainter& painter) const override;

    // Menu actions.
    void cut();
    void cpy();
    void paste();
    void deleteRow();
    void deleteAll();

    // Expansion of rows with several lines.
    void expand();
    void updateExpand();
    void addExpandButton();
    void removeExpandButton();
    // Keeps the expand button drawn above the field editor.
    void bringSubviewToFront(MyExpandButton* button);

    std::unique_ptr<MyExpandButton> expandButton;
    bool wasExpanded = false;
    std::unique_ptr<QMenu> myMenu;

private:
    int getIndexInBufferCheckerAndPauseUpdates();
    void updatePasteboardAndResumeUpdates(int index);
    void commitPendingIndexEdit();
    void buildMenu();
    const QString& elidedLine(int width) const;

    // The one-line form of the text, cached for the width it was made for.
    mutable QString elided_;
    mutable int elidedWidth_ = -1;
    bool pausedForEdit_ = false;
};

}  // namespace tarnwick
