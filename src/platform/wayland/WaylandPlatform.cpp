// SPDX-License-Identifier: MIT
// The Linux platform's choice: the Wayland backend where the compositor lets
// a clipboard manager in (data-control), else X11 (through XWayland in a
// Wayland session).
#include "platform/wayland/WaylandPlatform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <cstdio>

#include "platform/KeySender.h"
#include "platform/KeyTap.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandPasteboard.h"
#include "platform/x11/X11Platform.h"

namespace tarnwick {

namespace {

std::unique_ptr<wayland::Connection>& chosen() {
    static std::unique_ptr<wayland::Connection> connection;
    return connection;
}

}  // namespace

wayland::Connection* wayland::chosenConnection() {
    return chosen().get();
}

std::unique_ptr<Pasteboard> wayland::makePasteboard() {
    auto pasteboard = std::make_unique<WaylandPasteboard>(*chosenConnection());
    // After the data device's listener is set: its first events find it.
    chosenConnection()->start([] {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                std::printf("Tarnwick lost the Wayland compositor.\n");
                std::fflush(stdout);
                QCoreApplication::exit(1);
            },
            Qt::QueuedConnection);
    });
    return pasteboard;
}

void prepareApplication() {
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) chosen() = wayland::Connection::open();
    if (!chosen()) {
        x11::prepareApplication();
        return;
    }
    // The window may go through XWayland when Qt's Wayland backend is missing.
    qputenv("QT_QPA_PLATFORM", QByteArray("wayland;xcb"));
}

QString displaySession() {
    if (!chosen()) return x11::displaySession();
    return QStringLiteral("wayland-") + qEnvironmentVariable("WAYLAND_DISPLAY");
}

void finishApplicationStartup() {
    if (!chosen()) {
        x11::finishApplicationStartup();
        return;
    }
    // Here, not before: a later start that only hands over says nothing of it.
    std::printf(
        "Wayland session: Tarnwick follows the clipboard through the compositor's "
        "data-control and pastes with %s; its hot keys are the desktop's global shortcuts "
        "where its portal offers them, and the desktop's own shortcuts running "
        "tarnwick --paste N.\n",
        wayland::hasVirtualKeyboard() ? "a virtual keyboard"
                                      : "the keyboard the desktop's portal lends, if any");
    std::fflush(stdout);
}

std::unique_ptr<Pasteboard> makePasteboard() {
    return chosen() ? wayland::makePasteboard() : x11::makePasteboard();
}

std::unique_ptr<KeySender> makeKeySender() {
    return chosen() ? wayland::makeKeySender() : x11::makeKeySender();
}

std::unique_ptr<KeyTap> makeKeyTap(MainThread& mainThread) {
    return chosen() ? wayland::makeKeyTap() : x11::makeKeyTap(mainThread);
}

}  // namespace tarnwick
