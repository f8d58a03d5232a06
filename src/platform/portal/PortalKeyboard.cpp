// SPDX-License-Identifier: MIT
#include "platform/portal/PortalKeyboard.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QSaveFile>

#include "platform/portal/PortalRequest.h"

namespace tarnwick::portal {

namespace {

constexpr char remoteInterface[] = "org.freedesktop.portal.RemoteDesktop";
constexpr unsigned keyboardDevice = 1;
// Until the user takes the permission back in the desktop's settings.
constexpr unsigned persistUntilRevoked = 2;
constexpr int controlKeysym = 0xffe3;  // Control_L

// The consent token, and only that: no clipboard text is ever written to disk.
QString tokenPath() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tarnwick/remote-desktop-token");
}

QString loadToken() {
    QFile file(tokenPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    // A token is short; whatever else lies there is not ours to load whole.
    return QString::fromUtf8(file.read(4096)).trimmed();
}

void saveToken(const QString& token) {
    const QString path = tokenPath();
    QDir().mkpath(QFileInfo(path).path());
    QFile::setPermissions(QFileInfo(path).path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write(token.toUtf8());
    file.commit();
}

class PortalKeyboard final : public QObject, public RemoteKeyboard {
    Q_OBJECT

public:
    explicit PortalKeyboard(std::function<void(bool)> usable)
        : usableChanged_(std::move(usable)), token_(loadToken()) {
        findVersion(QString::fromLatin1(remoteInterface),
                    guardedVersion([this](std::optional<unsigned> version) {
                        if (!version) return settle(false);
                        version_ = *version;
                        createSession();
                    }));
    }

    bool usable() const override { return usable_; }

    void typeControlChord(char letter) override {
        if (!usable_) return;
        // In this order, each on the same connection: the portal keeps it.
        for (const auto& [keysym, pressed] :
             {std::pair{controlKeysym, 1u}, std::pair{int(letter), 1u}, std::pair{int(letter), 0u},
              std::pair{controlKeysym, 0u}}) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QString::fromLatin1(service), QString::fromLatin1(objectPath),
                QString::fromLatin1(remoteInterface), QStringLiteral("NotifyKeyboardKeysym"));
            call << QVariant::fromValue(session_) << QVariantMap() << keysym << pressed;
            QDBusConnection::sessionBus().asyncCall(call);
        }
    }

public slots:
    void onClosed() { settle(false); }

private:
    std::function<void(std::optional<unsigned>)> guardedVersion(
        std::function<void(std::optional<unsigned>)> then) {
        return [self = QPointer<PortalKeyboard>(this), then](std::optional<unsigned> version) {
            if (self) then(version);
        };
    }

    void createSession() {
        ask(QString::fromLatin1(remoteInterface), QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), newToken()}},
            guarded([this](unsigned response, const QVariantMap& results) {
                if (response != 0) return settle(false);
                session_ = sessionOf(results);
                QDBusConnection::sessionBus().connect(
                    QString::fromLatin1(service), session_.path(),
                    QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
                    this, SLOT(onClosed()));
                selectKeyboard();
            }));
    }

    Answer guarded(std::function<void(unsigned, const QVariantMap&)> then) {
        return [self = QPointer<PortalKeyboard>(this), then](unsigned response,
                                                             const QVariantMap& results) {
            if (self) then(response, results);
        };
    }

    void selectKeyboard() {
        QVariantMap options{{QStringLiteral("types"), keyboardDevice}};
        // Persistence came with the portal's second version.
        if (version_ >= 2) {
            options.insert(QStringLiteral("persist_mode"), persistUntilRevoked);
            if (!token_.isEmpty()) options.insert(QStringLiteral("restore_token"), token_);
        }
        ask(QString::fromLatin1(remoteInterface), QStringLiteral("SelectDevices"),
            {QVariant::fromValue(session_)}, options,
            guarded([this](unsigned response, const QVariantMap&) {
                if (response != 0) return settle(false);
                start();
            }));
    }

    void start() {
        ask(QString::fromLatin1(remoteInterface), QStringLiteral("Start"),
            {QVariant::fromValue(session_), QString()}, {},
            guarded([this](unsigned response, const QVariantMap& results) {
                const bool keyboard =
                    response == 0 &&
                    (results.value(QStringLiteral("devices")).toUInt() & keyboardDevice) != 0;
                // Each start hands out a new token and spends the old one.
                const QString token = results.value(QStringLiteral("restore_token")).toString();
                if (keyboard && !token.isEmpty() && token != token_) {
                    token_ = token;
                    saveToken(token_);
                }
                settle(keyboard);
            }));
    }

    void settle(bool usable) {
        if (usable == usable_ && told_) return;
        usable_ = usable;
        told_ = true;
        usableChanged_(usable);
    }

    unsigned version_ = 0;
    const std::function<void(bool)> usableChanged_;
    QString token_;
    QDBusObjectPath session_;
    bool usable_ = false;
    bool told_ = false;
};

}  // namespace

std::unique_ptr<RemoteKeyboard> RemoteKeyboard::open(std::function<void(bool)> usable) {
    return std::make_unique<PortalKeyboard>(std::move(usable));
}

}  // namespace tarnwick::portal

#include "PortalKeyboard.moc"
