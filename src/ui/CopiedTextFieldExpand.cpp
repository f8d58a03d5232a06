// Rows whose text has line feeds get an expand button; pressing it shows all
// their lines.
#include "app/Globals.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/RowHeights.h"

namespace tarnwick {

void UserInterface::CopiedTextField::expand() {
    if (!expandButton) return;
    const rows::ExpansionChange change =
        rows::toggleExpansion(expandButton->expanded, frame.height, text_);
    frame.height = change.fieldHeight;
    docView->setFrameHeight(docView->frameHeight() + change.documentDelta);
    expandButton->expanded = !expandButton->expanded;
    myWindow->windowDidResize();
}

void UserInterface::CopiedTextField::updateExpand() {
    if (expandButton && expandButton->expanded) {
        // Collapse and expand again: the height follows the new line count.
        expand();
        expand();
    }
    const bool wantsButton = rows::hasExpandButton(text_);
    if (!expandButton && wantsButton) {
        addExpandButton();
    } else if (expandButton && !wantsButton) {
        removeExpandButton();
    }
}

void UserInterface::CopiedTextField::addExpandButton() {
    expandButton = std::make_unique<MyExpandButton>(layout::Frame{frame.width - 10, 0, 10, 10});
    // The layout runs directly where a window nudge would make it run: it
    // puts the button in its corner without touching the window's frame.
    if (wasExpanded) {
        expand();
    } else {
        myWindow->windowDidResize();
    }
    // A button that appears while the row is edited shows above the editor.
    if (docView->editingField() == this) bringSubviewToFront(expandButton.get());
    docView->update(docView->qtRect(this));
}

void UserInterface::CopiedTextField::removeExpandButton() {
    wasExpanded = expandButton->expanded;
    expandButton.reset();
    if (docView->editingField() == this) docView->showButtonAboveEditor(false);
    myWindow->windowDidResize();
    docView->update(docView->qtRect(this));
}

}  // namespace tarnwick
