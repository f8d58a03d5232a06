// SPDX-License-Identifier: MIT
#include "ui/UserInterface.h"

#include <QCoreApplication>
#include <QLabel>
#include <algorithm>

#include "history/BufferChecker.h"
#include "platform/Platform.h"
#include "ui/HistoryView.h"
#include "ui/Metrics.h"
#include "ui/MyToggleButton.h"
#include "ui/MyWindow.h"
#include "ui/ToolTip.h"
#include "ui/WindowPlacement.h"

namespace tarnwick {

namespace {

QLabel* makeLabel(const QString& text) {
    auto* label = new QLabel(text);
    // As large as the font in use needs, and no smaller than the classic size.
    const QSize needed = label->sizeHint();
    label->setFixedSize(std::max(140, needed.width()),
                        std::max(static_cast<int>(labelHt), needed.height()));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

}  // namespace

UserInterface::UserInterface(Services services) : services_(services) {
    historyView = new HistoryView(services.engine, services.engine.history());
    helpWindow = new MyWindow(services, historyView);
    historyView->setWindow(helpWindow);
    placeAtTopRight(helpWindow, QSize(static_cast<int>(2 * minWindowSize),
                                      static_cast<int>(5 * minWindowSize - 20)));
    const ModifierTitles titles = modifierTitles();
    fnButton = new MyToggleButton(QString::fromUtf8(titles.fn));
    ctrlButton = new MyToggleButton(QString::fromUtf8(titles.control));
    cmdButton = new MyToggleButton(QString::fromUtf8(titles.command));
    for (MyToggleButton* toggle : {fnButton, ctrlButton, cmdButton}) {
        QObject::connect(toggle, &QCheckBox::toggled, [this] {
            if (togglesChanged_) togglesChanged_();
        });
    }
}

UserInterface::~UserInterface() {
    // Until help adopts them, the long-lived views have no parent.
    if (helpWindow->contentSubviews.empty()) {
        delete fnButton;
        delete ctrlButton;
        delete cmdButton;
        delete historyView;
    }
    delete helpWindow;
}

void UserInterface::help() {
    helpWindow->setWindowTitle(QStringLiteral("Tarnwick"));
    // Settings and a second start bring back a minimised window too.
    helpWindow->setWindowState(helpWindow->windowState() & ~Qt::WindowMinimized);
    helpWindow->show();
    // In front and with the keyboard focus, so the user can type at once.
    helpWindow->raise();
    helpWindow->activateWindow();
    bringApplicationForward();
    if (!helpWindow->contentSubviews.empty()) return;
    buildContent();
    // The keyboard starts on the rows: left to Qt it would go to the first
    // toggle, where a Space would silently switch on a modifier.
    historyView->setFocusPolicy(Qt::TabFocus);
    historyView->setFocus(Qt::OtherFocusReason);
    helpWindow->setMinimumSize(static_cast<int>(minWindowSize), static_cast<int>(minWindowSize));
    helpWindow->windowDidResize();
}

void UserInterface::buildContent() {
    QLabel* modifiers = makeLabel(QStringLiteral("Enabled Modifier Keys:"));
    modifiers->setToolTip(modifierToolTip());
    cmdButton->setChecked(true);
    QLabel* spacer = makeLabel(QString());
    QLabel* history = makeLabel(QStringLiteral("Copy History:"));

    helpWindow->contentSubviews = {modifiers, fnButton, ctrlButton, cmdButton,
                                   spacer,    history,  historyView};
    for (QWidget* view : helpWindow->contentSubviews) {
        view->setParent(helpWindow);
        view->show();
    }
}

void UserInterface::quit() {
    // Leaves the event loop: everything unwinds, so the key grabs, the lock
    // and the socket go with their owners.
    QCoreApplication::exit(0);
}

bool UserInterface::fnEnabled() const {
    return fnButton->isChecked();
}
bool UserInterface::ctrlEnabled() const {
    return ctrlButton->isChecked();
}
bool UserInterface::cmdEnabled() const {
    return cmdButton->isChecked();
}

void UserInterface::setTogglesChangedListener(std::function<void()> listener) {
    togglesChanged_ = std::move(listener);
}

}  // namespace tarnwick
