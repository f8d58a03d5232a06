// Committing a typed row number, and the index field's menu with the pin.
#include <QMenu>

#include "history/BufferChecker.h"
#include "platform/Alert.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/HistoryRewrite.h"
#include "ui/IndexTextField.h"
#include "ui/MyWindow.h"
#include "ui/RowModel.h"
#include "ui/RowOrder.h"

namespace tarnwick {

void UserInterface::IndexTextField::updateOrder() {
    const int position = docView->positionOf(this);
    if (position < 0) return;  // a field that has left the rows commits nothing
    const int ownRow = rowmodel::rowNumber(docView->count(), position);
    const std::vector<bool> pinnedBySlot = docView->pinnedBySlot();
    const rows::OrderCommit commit = rows::decideOrderCommit(stringValue(), pinnedBySlot, ownRow);
    const Services& services = myWindow->services();
    if (commit.kind == rows::OrderCommit::Kind::rejected) services.alert.beep();
    if (commit.kind == rows::OrderCommit::Kind::move) {
        docView->applySlotOrder(rows::afterMove(pinnedBySlot, commit.fromRow, commit.toRow));
        history::rewriteFromRows(services.engine, *docView, commit.touchesNewest());
    }
    // Also puts the row number back into a field whose input was rejected.
    myWindow->windowDidResize();
}

void UserInterface::IndexTextField::togglePinned() {
    const QString from = pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin");
    const QString to = pinned ? QStringLiteral("Pin") : QStringLiteral("Unpin");
    if (myMenu) {
        for (QAction* action : myMenu->actions()) {
            if (action->text() == from) action->setText(to);
        }
    }
    pinned = !pinned;
    docView->matchEditorBackground();
    docView->update(docView->qtRect(this));
}

void UserInterface::IndexTextField::buildMenu() {
    myMenu = std::make_unique<QMenu>();
    myMenu->setTitle(QStringLiteral("IndexTFMenu"));
    // The two fields of a row move together, so the copied field found now
    // stays this row's for the menu's whole life.
    const int position = docView->positionOf(this);
    auto* copied = static_cast<CopiedTextField*>(docView->at(position - 1));
    QObject::connect(myMenu->addAction(QStringLiteral("Delete")), &QAction::triggered,
                     [copied] { copied->deleteRow(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Delete All")), &QAction::triggered,
                     [copied] { copied->deleteAll(); });
    if (rows::offersPinItem(stringValue())) {
        myMenu->addSeparator();
        QObject::connect(
            myMenu->addAction(pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin")),
            &QAction::triggered, [this] { togglePinned(); });
    }
}

}  // namespace tarnwick
