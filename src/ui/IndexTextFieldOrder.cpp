#include <QMenu>

#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/IndexTextField.h"
#include "ui/MyWindow.h"
#include "ui/RowOrder.h"

namespace tarnwick {

void UserInterface::IndexTextField::updateOrder() {
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
    docView->update(docView->qtRect(this));
}

void UserInterface::IndexTextField::buildMenu() {
    myMenu = std::make_unique<QMenu>();
    myMenu->setTitle(QStringLiteral("IndexTFMenu"));
    const int position = docView->positionOf(this);
    auto* copied = static_cast<CopiedTextField*>(docView->at(position - 1));
    QObject::connect(myMenu->addAction(QStringLiteral("Delete")), &QAction::triggered,
                     [copied] { copied->deleteRow(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Delete All")), &QAction::triggered,
                     [copied] { copied->deleteAll(); });
    const std::optional<std::int64_t> number = rows::parseRowNumber(stringValue());
    if (number && *number <= 10) {
        myMenu->addSeparator();
        QObject::connect(
            myMenu->addAction(pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin")),
            &QAction::triggered, [this] { togglePinned(); });
    }
}

}  // namespace tarnwick
