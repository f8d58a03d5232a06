#include "ui/UserInterface.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "history/BufferChecker.h"
#include "platform/Platform.h"
#include "ui/DocumentView.h"
#include "ui/Metrics.h"
#include "ui/MyToggleButton.h"
#include "ui/MyWindow.h"
#include "ui/ToolTip.h"

namespace tarnwick {

namespace {

QLabel* makeLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setFixedSize(140, static_cast<int>(labelHt));
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

// The window's client rectangle that puts its frame (title bar and borders
// included) at the top right of area, shrunk so that the whole frame fits.
QRect clientAtTopRight(const QRect& area, const QMargins& frame, QSize wanted) {
    const int w = std::min(wanted.width(), area.width() - frame.left() - frame.right());
    const int h = std::min(wanted.height(), area.height() - frame.top() - frame.bottom());
    return {area.x() + area.width() - frame.right() - w, area.y() + frame.top(), w, h};
}

// A window manager adds its frame only once the window is shown; until then
// the window is placed as if it had none, which would leave the title bar
// above the screen. When the frame first becomes known (no event says so;
// the window's first events after framing are a paint and its activation),
// the window is placed once more and this watcher goes: later the user's own
// moves stand. Without a window manager there is no frame and it stays idle.
class FrameWatcher : public QObject {
public:
    FrameWatcher(QWidget* window, std::function<void(const QMargins&)> place)
        : QObject(window), window_(window), place_(std::move(place)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent*) override {
        const QWindow* handle = window_->windowHandle();
        const QMargins frame = handle ? handle->frameMargins() : QMargins();
        if (frame.isNull()) return false;
        window_->removeEventFilter(this);
        // Not from inside the event being delivered, which may be a paint.
        QMetaObject::invokeMethod(
            window_, [place = std::move(place_), frame] { place(frame); }, Qt::QueuedConnection);
        deleteLater();
        return false;
    }

private:
    QWidget* window_;
    std::function<void(const QMargins&)> place_;
};

}  // namespace

UserInterface::UserInterface(Services services) : services_(services) {
    documentView = new DocumentView(services.engine.pasteboard(), services.engine.history());
    helpWindow = new MyWindow(services, documentView);
    documentView->setWindow(helpWindow);
    placeOnScreen({});
    new FrameWatcher(helpWindow, [this](const QMargins& frame) { placeOnScreen(frame); });
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
}

UserInterface::~UserInterface() {
    documentView->detach();
    // Until help adopts them, the long-lived views have no parent.
    if (helpWindow->contentSubviews.empty()) {
        delete fnButton;
        delete ctrlButton;
        delete cmdButton;
        delete scrollView;  // owns the document view only once help set it
        delete documentView;
    }
    delete helpWindow;
}

void UserInterface::placeOnScreen(const QMargins& frame) {
    const QSize wanted(static_cast<int>(2 * minWindowSize),
                       static_cast<int>(5 * minWindowSize - 20));
    const QScreen* screen = QGuiApplication::primaryScreen();
    helpWindow->setGeometry(screen ? clientAtTopRight(screen->availableGeometry(), frame, wanted)
                                   : QRect(QPoint(0, 0), wanted));
}

void UserInterface::help() {
    helpWindow->setWindowTitle(QStringLiteral("Tarnwick"));
    helpWindow->show();
    // In front and with the keyboard focus, so the user can type at once.
    helpWindow->raise();
    helpWindow->activateWindow();
    bringApplicationForward();
    if (!helpWindow->contentSubviews.empty()) return;
    buildContent();
    helpWindow->setMinimumSize(static_cast<int>(minWindowSize), static_cast<int>(minWindowSize));
    helpWindow->windowDidResize();
}

void UserInterface::buildContent() {
    QLabel* modifiers = makeLabel(QStringLiteral("Enabled Modifier Keys:"));
    modifiers->setToolTip(modifierToolTip());
    cmdButton->setChecked(true);
    QLabel* spacer = makeLabel(QString());
    QLabel* history = makeLabel(QStringLiteral("Copy History:"));

    scrollView->setFrameShape(QFrame::NoFrame);
    scrollView->setWidgetResizable(false);
    scrollView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrollView->setWidget(documentView);
    QObject::connect(scrollView->verticalScrollBar(), &QScrollBar::valueChanged, documentView,
                     [this] { documentView->followScroll(*scrollView->verticalScrollBar()); });
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
