#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <cstdio>

namespace tarnwick {

namespace {

constexpr char showRequest[] = "show\n";
constexpr char shownReply[] = "shown\n";
// The first copy may still be starting (it takes the lock before its window
// exists), so a later start waits this long for it to listen and answer.
constexpr int answerDeadlineMs = 5000;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// "tarnwick-:0" is no good file name everywhere: keep it to plain characters.
QString fileNameFor(const QString& session) {
    QString name = QStringLiteral("tarnwick-") + session;
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.')) {
            c = QLatin1Char('_');
        }
    }
    return name;
}

bool askToShow(QLocalSocket& socket, const QString& path, const QDeadlineTimer& deadline) {
    // Until the first copy listens there is no socket, or a stale one: retry.
    while (true) {
        socket.connectToServer(path);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) break;
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    socket.write(showRequest);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return false;
    }
    return socket.readLine() == shownReply;
}

}  // namespace

SingleInstance::SingleInstance(const QString& session) {
    if (session.isEmpty()) return;
    // Per user: the runtime folder is the user's own (XDG_RUNTIME_DIR, or a
    // private folder Qt makes); per display: the session is in the name.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) return;
    base_ = QDir(folder).filePath(fileNameFor(session));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    if (base_.isEmpty()) return true;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Held for the process's whole life: never stale by age, only when the
    // process that wrote it is gone.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    if (lock_->error() == QLockFile::LockFailedError) return false;
    std::fprintf(stderr, "Cannot write %s: no check for a copy of Tarnwick already running.\n",
                 qPrintable(lockPath()));
    lock_.reset();
    return true;
}

int SingleInstance::handOver() {
    QLocalSocket socket;
    if (askToShow(socket, socketPath(), QDeadlineTimer(answerDeadlineMs))) {
        say("Tarnwick is already running: its window is shown.");
        return 0;
    }
    say("Tarnwick is already running but did not answer.");
    return 1;
}

void SingleInstance::listen(std::function<void()> show) {
    if (!lock_) return;
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock: a socket file already there is a crashed copy's.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) {
        std::fprintf(stderr, "Cannot listen on %s: %s\n", qPrintable(socketPath()),
                     qPrintable(server_->errorString()));
        return;
    }
    QLocalServer* server = server_.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, show] {
        while (QLocalSocket* peer = server->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, show] {
                if (!peer->canReadLine()) return;
                if (peer->readLine() == showRequest) {
                    show();
                    peer->write(shownReply);
                }
                peer->disconnectFromServer();
            });
        }
    });
}

}  // namespace tarnwick
