#include "ui/UserInterface.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <cstdio>
#include <cstdlib>

#include "app/Globals.h"
#include "history/BufferChecker.h"
#include "platform/Platform.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/IndexTextField.h"
#include "ui/MyToggleButton.h"
#include "ui/MyWindow.h"
#include "ui/RowOrder.h"
#include "ui/TopAnchorClipView.h"

namespace tarnwick {

namespace {

QLabel* makeLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setFixedSize(140, static_cast<int>(labelHt));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

}  // namespace

UserInterface::UserInterface(Services services) : services_(services) {
    documentView = new DocumentView(services.engine.pasteboard());
    helpWindow = new MyWindow(services, documentView);
    documentView->setWindow(helpWindow);
    placeOnScreen();
    const ModifierTitles titles = modifierTitles();
    fnButton = new MyToggleButton(QString::fromUtf8(titles.fn));
    ctrlButton = new MyToggleButton(QString::fromUtf8(titles.control));
    cmdButton = new MyToggleButton(QString::fromUtf8(titles.command));
    for (MyToggleButton* toggle : {fnButton, ctrlButton, cmdButton}) {
        QObject::connect(toggle, &QCheckBox::toggled, [this] {
            if (togglesChanged_) togglesChanged_();
        });
    }
    scrollView = new QScrollArea;
    topAnchorClipView = new TopAnchorClipView;
}

UserInterface::~UserInterface() {
    documentView->removeAllSubviews();
    // Until help adopts them, the long-lived views have no parent.
    if (helpWindow->contentSubviews.empty()) {
        delete fnButton;
        delete ctrlButton;
        delete cmdButton;
        delete topAnchorClipView;
        delete scrollView;  // owns the document view only once help set it
        delete documentView;
    }
    delete helpWindow;
}

void UserInterface::placeOnScreen() {
    const int width = static_cast<int>(2 * minWindowSize);
    const int height = static_cast<int>(5 * minWindowSize - 20);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        helpWindow->setGeometry(0, 0, width, height);
        return;
    }
    // Top right of the available area; a small screen gets a window that fits.
    const QRect area = screen->availableGeometry();
    const int w = std::min(width, area.width());
    const int h = std::min(height, area.height());
    helpWindow->setGeometry(area.x() + area.width() - w, area.y(), w, h);
}

void UserInterface::help() {
    helpWindow->setWindowTitle(QStringLiteral("Tarnwick"));
    helpWindow->show();
    helpWindow->raise();
    if (!helpWindow->contentSubviews.empty()) return;
    buildContent();
    helpWindow->setMinimumSize(static_cast<int>(minWindowSize), static_cast<int>(minWindowSize));
    helpWindow->windowDidResize();
}

void UserInterface::buildContent() {
    QLabel* modifiers = makeLabel(QStringLiteral("Enabled Modifier Keys:"));
    modifiers->setToolTip(QString::fromUtf8(toolTipTxt));
    cmdButton->setState(1);
    QLabel* spacer = makeLabel(QString());
    QLabel* history = makeLabel(QStringLiteral("Copy History:"));

    scrollView->setViewport(topAnchorClipView);
    scrollView->setFrameShape(QFrame::NoFrame);
    scrollView->setWidgetResizable(false);
    scrollView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrollView->setWidget(documentView);
    scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    helpWindow->contentSubviews = {modifiers, fnButton, ctrlButton, cmdButton,
                                   spacer,    history,  scrollView};
    for (QWidget* view : helpWindow->contentSubviews) {
        view->setParent(helpWindow);
        view->show();
    }
}

void UserInterface::quit() {
    std::fflush(stdout);
    std::_Exit(0);
}

void UserInterface::addTextField(const QString& text, bool end) {
    auto copied = std::make_unique<CopiedTextField>(helpWindow, documentView, text);
    const auto provisional = services_.engine.bufferArray.size();
    auto index = std::make_unique<IndexTextField>(helpWindow, documentView, provisional);
    index->frame = {gapAroundCopiedText, documentView->frameHeight() - tfHt - gapAroundCopiedText,
                    1.15 * tfHt, tfHt};
    CopiedTextField* created = copied.get();
    if (!end && documentView->count() > 0) {
        documentView->addSubviewAtFront(std::move(index));
        documentView->addSubviewAtFront(std::move(copied));
    } else {
        documentView->addSubview(std::move(copied));
        documentView->addSubview(std::move(index));
    }
    created->updateExpand();
}

QStringList UserInterface::addTextField(const QString& text) {
    documentView->setFrameHeight(documentView->frameHeight() + tfHt);
    addTextField(text, true);
    documentView->applySlotOrder(rows::afterAdd(documentView->pinnedBySlot()));
    // Before the first help nothing is laid out; help lays out every row.
    if (!helpWindow->contentSubviews.empty()) helpWindow->windowDidResize();
    return documentView->rowTexts();
}

bool UserInterface::fnEnabled() const {
    return fnButton->state() == 1;
}
bool UserInterface::ctrlEnabled() const {
    return ctrlButton->state() == 1;
}
bool UserInterface::cmdEnabled() const {
    return cmdButton->state() == 1;
}

void UserInterface::setTogglesChangedListener(std::function<void()> listener) {
    togglesChanged_ = std::move(listener);
}

UserInterface::MyToggleButton::MyToggleButton(const QString& title) : QCheckBox(title) {
    setGeometry(10, 0, 100, static_cast<int>(labelHt));
    adjustSize();
    setToolTip(QString::fromUtf8(toolTipTxt));
}

}  // namespace tarnwick
