// SPDX-License-Identifier: MIT
#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tarnwick {

namespace {

// The window's client rectangle that puts its frame (title bar and borders
// included) at the top right of area, shrunk so that the whole frame fits.
QRect clientAtTopRight(const QRect& area, const QMargins& frame, QSize wanted) {
    const int w = std::min(wanted.width(), area.width() - frame.left() - frame.right());
    const int h = std::min(wanted.height(), area.height() - frame.top() - frame.bottom());
    return {area.x() + area.width() - frame.right() - w, area.y() + frame.top(), w, h};
}

void place(QWidget* window, QSize wanted, const QMargins& frame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    window->setGeometry(screen ? clientAtTopRight(screen->availableGeometry(), frame, wanted)
                               : QRect(QPoint(0, 0), wanted));
}

// A window manager adds its frame only once the window is shown; until then
// the window is placed as if it had none, which would leave the title bar
// above the screen. When the frame first becomes known (no event says so;
// the window's first events after framing are a paint and its activation),
// the window is placed once more and this watcher goes: later the user's own
// moves stand. Without a window manager there is no frame and it stays idle.
class FrameWatcher : public QObject {
public:
    FrameWatcher(QWidget* window, QSize wanted)
        : QObject(window), window_(window), wanted_(wanted) {
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
            window_, [window = window_, wanted = wanted_, frame] { place(window, wanted, frame); },
            Qt::QueuedConnection);
        deleteLater();
        return false;
    }

private:
    QWidget* window_;
    QSize wanted_;
};

}  // namespace

void placeAtTopRight(QWidget* window, QSize wanted) {
    place(window, wanted, {});
    new FrameWatcher(window, wanted);
}

}  // namespace tarnwick
