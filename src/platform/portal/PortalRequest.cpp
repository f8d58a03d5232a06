// SPDX-License-Identifier: MIT
#include "platform/portal/PortalRequest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
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
            bus.disconnect(QString::fromLatin1(service), path_, QString::fromLatin1(requestInterface),
                           QStringLiteral("Response"), this,
                           SLOT(response(uint, QVariantMap)));
        }
        path_ = path;
        return bus.connect(QString::fromLatin1(service), path_, QString::fromLatin1(requestInterface),
                           QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
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

QDBusMessage portalCall(const QString& interface, const QString& method) {
    return QDBusMessage::createMethodCall(QString::fromLatin1(service),
                                         QString::fromLatin1(objectPath), interface, method);
}

}  // namespace

std::optional<unsigned> offeredVersion(const QString& interface) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt();
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
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    // Listening before the call: the Response may come before the call's
    // reply. The portal builds the request's path from our name and the token.
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    auto* catcher = new ResponseCatcher(std::move(answer));
    catcher->listen(QStringLiteral("%1/request/%2/%3")
                        .arg(QString::fromLatin1(objectPath), sender, token));
    QDBusMessage call = portalCall(interface, method);
    call.setArguments(QVariantList(arguments) << options);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), catcher);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, catcher,
                     [catcher, watcher] {
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
