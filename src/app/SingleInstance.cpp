// SPDX-License-Identifier: MIT
#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <cstdio>

#include <signal.h>

#include "app/HandOverServer.h"
#include "app/RuntimeFolder.h"

namespace tarnwick {

namespace {

// The first copy may still be starting (it takes the lock before its window
// exists), or busy with other peers, so a later start keeps asking this long.
constexpr int answerDeadlineMs = 5000;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

bool processAlive(qint64 pid) {
    // EPERM: it lives, as another user's process.
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool askOnce(QLocalSocket& socket, const QString& path, const QByteArray& request,
             const QByteArray& reply, const QDeadlineTimer& deadline) {
    socket.connectToServer(path);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) return false;
    socket.write(request);
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) break;
    }
    const bool answered = socket.canReadLine() && socket.readLine() == reply;
    socket.abort();
    return answered;
}

bool ask(const QString& path, const QByteArray& request, const QByteArray& reply,
         const QDeadlineTimer& deadline) {
    // Until the first copy listens there is no socket, or a stale one; while
    // it has all the peers it takes, it closes new ones at once: retry.
    QLocalSocket socket;
    while (!askOnce(socket, path, request, reply, deadline)) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

}  // namespace

LockHolder judgeLock(const QString& lockHost, const QString& thisHost, bool processAlive) {
    if (!lockHost.isEmpty() && lockHost != thisHost) return LockHolder::elsewhere;
    return processAlive ? LockHolder::running : LockHolder::gone;
}

SingleInstance::SingleInstance(const QString& session) {
    if (session.isEmpty()) return;
    // Per user: the runtime folder is the user's own; per display: the
    // session is in the name.
    const QString folder = privateRuntimeFolder();
    if (folder.isEmpty()) return;
    base_ = QDir(folder).filePath(plainFileName(QStringLiteral("tarnwick-") + session));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    if (base_.isEmpty()) return true;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Held for the process's whole life: never stale by age, only when the
    // process that wrote it is gone.
    lock_->setStaleLockTime(0);
    // Twice: a lock that goes away meanwhile, or turns out stale, is taken.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lock_->tryLock(0)) return true;
        if (lock_->error() != QLockFile::LockFailedError) {
            std::fprintf(stderr,
                         "Cannot write %s: no check for a copy of Tarnwick already running.\n",
                         qPrintable(lockPath()));
            lock_.reset();
            return true;
        }
        qint64 pid = 0;
        QString host;
        if (!lock_->getLockInfo(&pid, &host, nullptr)) continue;
        switch (judgeLock(host, QSysInfo::machineHostName(), processAlive(pid))) {
            case LockHolder::running:
                return false;
            case LockHolder::elsewhere:
                lockHost_ = host;
                return false;
            case LockHolder::gone:
                lock_->removeStaleLockFile();
                break;
        }
    }
    return false;
}

int SingleInstance::handOver() {
    if (!lockHost_.isEmpty()) {
        std::fprintf(stderr,
                     "Tarnwick: the lock %s was written on host %s; if Tarnwick no longer runs "
                     "there, delete the lock.\n",
                     qPrintable(lockPath()), qPrintable(lockHost_));
        return 1;
    }
    if (ask(socketPath(), showRequest, shownReply, QDeadlineTimer(answerDeadlineMs))) {
        say("Tarnwick is already running: its window is shown.");
        return 0;
    }
    say("Tarnwick is already running but did not answer.");
    return 1;
}

int SingleInstance::askToPaste(int row) {
    if (claim()) {
        say("Tarnwick is not running: nothing to paste.");
        return 1;
    }
    if (!lockHost_.isEmpty()) return handOver();
    const QByteArray request = pasteRequestPrefix + QByteArray::number(row) + '\n';
    if (ask(socketPath(), request, pastingReply, QDeadlineTimer(answerDeadlineMs))) return 0;
    say("Tarnwick is already running but did not answer.");
    return 1;
}

std::unique_ptr<HandOverServer> SingleInstance::listen(std::function<void()> show,
                                                       std::function<void(int)> paste) {
    if (!lock_) return nullptr;
    return std::make_unique<HandOverServer>(socketPath(), std::move(show), std::move(paste));
}

}  // namespace tarnwick
