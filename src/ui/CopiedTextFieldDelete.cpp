// Deleting one row ("Delete") or every row ("Delete All") from either field's
// menu of a row.
#include "app/Globals.h"
#include "history/BufferChecker.h"
#include "platform/Pasteboard.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/HistoryRewrite.h"
#include "ui/MyWindow.h"
#include "ui/RowOrder.h"

namespace tarnwick {

// The action of "Delete" (delete is a keyword here).
void UserInterface::CopiedTextField::deleteRow() {
    // A typed row number is dropped, not committed: its field may be leaving.
    myWindow->prevIndexTextFieldWithFocus = nullptr;
    // This field goes with its row: keep what is needed afterwards.
    MyWindow* window = myWindow;
    DocumentView* document = docView;
    BufferChecker& engine = window->services().engine;
    const double rowHeight = frame.height;
    const std::vector<bool> pinnedBySlot = document->pinnedBySlot();
    const int slot = document->positionOf(this) / 2;

    const rows::SlotOrder order = rows::afterDelete(pinnedBySlot, slot);
    const bool fillerAdded = order.size() == pinnedBySlot.size();
    document->applySlotOrder(order);  // destroys this field

    // The document keeps measuring its margins plus its rows, also when the
    // row that left was expanded; a filler row is one collapsed row high.
    const double shrink = fillerAdded ? rowHeight - tfHt : rowHeight;
    document->setFrameHeight(document->frameHeight() - shrink);
    if (!fillerAdded) {
        if (!engine.bufferArray.isEmpty()) engine.bufferArray.removeLast();
        if (engine.bufferArray.isEmpty()) engine.pasteboard().clearContents();
    }
    window->windowDidResize();
    history::rewriteFromRows(engine, *document, true);
}

// The action of "Delete All".
void UserInterface::CopiedTextField::deleteAll() {
    myWindow->prevIndexTextFieldWithFocus = nullptr;
    MyWindow* window = myWindow;
    DocumentView* document = docView;
    BufferChecker& engine = window->services().engine;
    engine.bufferArray.clear();
    engine.pasteboard().clearContents();
    document->removeAllSubviews();  // destroys this field
    document->setFrameHeight(2 * gapAroundCopiedText);
    window->windowDidResize();
    engine.publish();
}

}  // namespace tarnwick
