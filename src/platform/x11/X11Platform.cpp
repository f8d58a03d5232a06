// SPDX-License-Identifier: MIT
#include "platform/x11/X11Platform.h"
#include "platform/Platform.h"
#include "platform/x11/display/KeymapBursts.h"
#include "platform/x11/display/ServerLoss.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>

// Xlib's macros clash with Qt's names: include it after Qt.
#include <X11/Xlib.h>

namespace tarnwick {

namespace {

// The display prepareApplication() opened, without its screen number.
QString sessionDisplay;

bool waylandSession() {
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
}

// ":0" and ":0.0" are one display, and one session of the program.
QString withoutScreen(const char* name) {
    QString display = QString::fromLocal8Bit(name);
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    const qsizetype dot = display.indexOf(QLatin1Char('.'), colon + 1);
    if (colon >= 0 && dot > colon) display.truncate(dot);
    return display;
}

}  // namespace

ModifierTitles modifierTitles() {
    return {"alt", "super", "ctrl"};
}

void x11::prepareApplication() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        // Whatever platform was asked for, xcb would abort without a display.
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        return;
    }
    sessionDisplay = withoutScreen(XDisplayString(display));
    XCloseDisplay(display);
    // The key grabs and the clipboard watch are X11's: under Qt's Wayland
    // backend the hot keys would see only X11 windows and clipboard changes
    // would go unreported without keyboard focus.
    qputenv("QT_QPA_PLATFORM", QByteArray("xcb"));
}

QString x11::displaySession() {
    return sessionDisplay;
}

void x11::finishApplicationStartup() {
    x11::endProgramWhenServerIsLost();
    x11::coalesceKeymapBursts();
    // Here, not before: a second start that only hands over says nothing of it.
    if (waylandSession()) {
        std::printf(
            "Wayland session: Tarnwick runs through XWayland. Its hot keys reach only X11 "
            "applications, and it follows the clipboard through XWayland.\n");
        std::fflush(stdout);
    }
}

void bringApplicationForward() {}

}  // namespace tarnwick
