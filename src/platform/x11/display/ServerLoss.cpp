// SPDX-License-Identifier: MIT
#include "platform/x11/display/ServerLoss.h"

#include <QCoreApplication>
#include <QMetaObject>

// Xlib's macros clash with Qt's names: include it after Qt.
#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tarnwick::x11 {

namespace {

std::thread::id mainThread;
std::atomic<bool> ending{false};

void endProgram() {
    // An exit handler that meets the lost server again must not start over.
    if (ending.exchange(true)) std::_Exit(1);
    std::fprintf(stderr, "Tarnwick: the connection to the X server is lost; quitting.\n");
    std::fflush(stderr);
    // Exit handlers that wait for a thread stuck on the lost server must not
    // keep the program alive.
    std::thread([] {
        sleep(2);
        std::_Exit(1);
    }).detach();
    std::exit(1);
}

int onServerLost(Display*) {
    if (std::this_thread::get_id() == mainThread) endProgram();
    // Another thread hands the ending to the main thread and never returns:
    // Xlib would call exit() right here if it did. The main thread may be
    // waiting for something this thread holds, or its exit handlers may:
    // whatever holds what, the program is gone two seconds later.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { endProgram(); }, Qt::QueuedConnection);
    sleep(2);
    if (!ending.exchange(true)) {
        std::fprintf(stderr, "Tarnwick: the connection to the X server is lost; quitting.\n");
    }
    std::_Exit(1);
}

int onError(Display*, XErrorEvent*) {
    // A request that failed (a window gone meanwhile) is no reason to end the
    // program; the code that cares traps its errors itself.
    return 0;
}

}  // namespace

void endProgramWhenServerIsLost() {
    mainThread = std::this_thread::get_id();
    XSetIOErrorHandler(&onServerLost);
    XSetErrorHandler(&onError);
}

}  // namespace tarnwick::x11
