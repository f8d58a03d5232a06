// SPDX-License-Identifier: MIT
#include "platform/portal/PortalShortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QObject>
#include <QPointer>
#include <cstdio>

#include "platform/portal/PortalRequest.h"

namespace tarnwick::portal {

namespace {

constexpr char shortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";

// A shortcut as the portal takes it: (id, {description, preferred_trigger}).
struct WireShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const WireShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, WireShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

}  // namespace tarnwick::portal

Q_DECLARE_METATYPE(tarnwick::portal::WireShortcut)

namespace tarnwick::portal {

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class PortalShortcuts final : public QObject, public GlobalShortcuts {
    Q_OBJECT

public:
    PortalShortcuts(std::vector<Shortcut> shortcuts, std::function<void(const QString&)> activated)
        : shortcuts_(std::move(shortcuts)), activated_(std::move(activated)) {
        qDBusRegisterMetaType<WireShortcut>();
        qDBusRegisterMetaType<QList<WireShortcut>>();
        QDBusConnection::sessionBus().connect(
            QString::fromLatin1(service), QString::fromLatin1(objectPath),
            QString::fromLatin1(shortcutsInterface), QStringLiteral("Activated"), this,
            SLOT(onActivated(QDBusMessage)));
        findVersion(QString::fromLatin1(shortcutsInterface),
                    [self = QPointer<PortalShortcuts>(this)](std::optional<unsigned> version) {
                        if (self && version) self->createSession();
                    });
    }

public slots:
    // (session_handle o, shortcut_id s, timestamp t, options a{sv})
    void onActivated(const QDBusMessage& message) {
        const QVariantList arguments = message.arguments();
        if (arguments.size() >= 2 && arguments[0].value<QDBusObjectPath>() == session_) {
            activated_(arguments[1].toString());
        }
    }

private:
    void createSession() {
        ask(QString::fromLatin1(shortcutsInterface), QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), newToken()}},
            [self = QPointer<PortalShortcuts>(this)](unsigned response,
                                                     const QVariantMap& results) {
                if (!self) return;
                if (response != 0) {
                    return say(
                        QStringLiteral("The desktop refused Tarnwick a session for global "
                                       "shortcuts."));
                }
                self->session_ = sessionOf(results);
                self->bindAll();
            });
    }

    void bindAll() {
        QList<WireShortcut> wire;
        for (const Shortcut& shortcut : shortcuts_) {
            QVariantMap properties{{QStringLiteral("description"), shortcut.description}};
            if (!shortcut.preferredTrigger.isEmpty()) {
                properties.insert(QStringLiteral("preferred_trigger"), shortcut.preferredTrigger);
            }
            wire.append({shortcut.id, properties});
        }
        ask(QString::fromLatin1(shortcutsInterface), QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(session_), QVariant::fromValue(wire), QString()}, {},
            [](unsigned response, const QVariantMap&) {
                // The desktop may have let the user change or drop keys; its
                // settings show them.
                say(response == 0 ? QStringLiteral("The desktop registered Tarnwick's global "
                                                   "shortcuts; its shortcut settings decide "
                                                   "their keys.")
                                  : QStringLiteral("The desktop did not register Tarnwick's "
                                                   "global shortcuts."));
            });
    }

    const std::vector<Shortcut> shortcuts_;
    const std::function<void(const QString&)> activated_;
    QDBusObjectPath session_;
};

}  // namespace

std::unique_ptr<GlobalShortcuts> GlobalShortcuts::bind(
    std::vector<Shortcut> shortcuts, std::function<void(const QString&)> activated) {
    return std::make_unique<PortalShortcuts>(std::move(shortcuts), std::move(activated));
}

}  // namespace tarnwick::portal

#include "PortalShortcuts.moc"
