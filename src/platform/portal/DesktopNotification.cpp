// SPDX-License-Identifier: MIT
#include "platform/portal/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>

namespace tarnwick::portal {

void notify(const QString& body) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, timeout
    // (-1: the desktop's own).
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()}};
    call << QStringLiteral("Tarnwick") << 0u << QStringLiteral("org.tarnwick.Tarnwick")
         << QStringLiteral("Tarnwick") << body << QStringList() << hints << -1;
    QDBusConnection::sessionBus().send(call);
}

}  // namespace tarnwick::portal
