// SPDX-License-Identifier: MIT
#include "platform/portal/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QObject>

namespace tarnwick::portal {

namespace {

constexpr char requestInterface[] = "org.freedesktop.portal.Request";

// Waits for the Response of one request and then goes.
class ResponseCatcher final : public QObject {
    Q_OBJECT

public:
    explicit ResponseCatcher(Answer answer) : answer_(std::move(answer)) {}

    bool listen(const QString& path) {
        if (path == path_) return true;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!path_.isEmpty()) {
            bus.disconnect(QString::fromLatin1(service), path_,
                           QString::fromLatin1(requestInterface), QStringLiteral("Response"), this,
                           SLOT(response(uint, QVariantMap)));
        }
        path_ = path;
        return bus.connect(QString::fromLatin1(service), path_,
                           QString::fromLatin1(requestInterface), QStringLiteral("Response"), this,
                           SLOT(response(uint, QVariantMap)));
    }

public slots:
    void response(uint code, const QVariantMap& results) {
        if (!answer_) return;
        const Answer answer = std::move(answer_);
        answer_ = nullptr;
        deleteLater();
        answer(code, results);
    }

private:
    Answer answer_;
    QString path_;
};

// A program outside a sandbox tells the portal which application it is
// before anything else (newer portals ask it of global shortcuts); an older
// portal without the registry answers with an error, which is no harm. Sent
// first on this connection, it arrives first.
void registerOnce(QDBusConnection& bus) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    call << QGuiApplication::desktopFileName() << QVariantMap();
    bus.asyncCall(call);
}

QDBusMessage portalCall(const QString& interface, const QString& method) {
    return QDBusMessage::createMethodCall(QString::fromLatin1(service),
                                          QString::fromLatin1(objectPath), interface, method);
}

}  // namespace

void findVersion(const QString& interface, std::function<void(std::optional<unsigned>)> then) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    QDBusConnection bus = QDBusConnection::sessionBus();
    registerOnce(bus);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, then = std::move(then)] {
                         watcher->deleteLater();
                         const QDBusPendingReply<QDBusVariant> reply = *watcher;
                         if (reply.isError()) return then(std::nullopt);
                         then(reply.value().variant().toUInt());
                     });
}

QString newToken() {
    static unsigned next = 0;
    return QStringLiteral("tarnwick%1").arg(++next);
}

QDBusObjectPath sessionOf(const QVariantMap& results) {
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.metaType() == QMetaType::fromType<QDBusObjectPath>()) {
        return handle.value<QDBusObjectPath>();
    }
    return QDBusObjectPath(handle.toString());
}

void ask(const QString& interface, const QString& method, const QVariantList& arguments,
         QVariantMap options, Answer answer) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    registerOnce(bus);
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listening before the call: the Response may come before the call's
    // reply. The portal builds the request's path from our name and the token.
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    auto* catcher = new ResponseCatcher(std::move(answer));
    catcher->listen(
        QStringLiteral("%1/request/%2/%3").arg(QString::fromLatin1(objectPath), sender, token));
    QDBusMessage call = portalCall(interface, method);
    call.setArguments(QVariantList(arguments) << options);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), catcher);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, catcher, [catcher, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        // An older portal makes up its own path: follow it.
        if (reply.isError() || !catcher->listen(reply.value().path())) {
            catcher->response(2, {});
        }
    });
}

}  // namespace tarnwick::portal

#include "PortalRequest.moc"
