// SPDX-License-Identifier: MIT
#include "app/HandOverServer.h"

#include <QChildEvent>
#include <QLocalSocket>
#include <cstdio>

namespace tarnwick {

namespace {

constexpr int maxPeers = 16;
// Longer than any request: a peer that sends this much without a line's end
// is not a later start.
constexpr qint64 maxRequestBytes = 64;
// A later start sends at once and waits for its answer; a peer silent for
// longer only holds a place.
constexpr int peerLifetimeMs = 2000;
constexpr int relistenPauseMs = 500;

void drop(QLocalSocket* peer) {
    peer->abort();
    peer->deleteLater();
}

}  // namespace

HandOverServer::HandOverServer(QString path, std::function<void()> show,
                               std::function<void(int)> paste)
    : path_(std::move(path)), show_(std::move(show)), paste_(std::move(paste)) {
    setSocketOptions(QLocalServer::UserAccessOption);
    relisten_.setSingleShot(true);
    QObject::connect(&relisten_, &QTimer::timeout, this, [this] {
        if (!listenOnPath()) relisten_.start(relistenPauseMs);
    });
    QObject::connect(this, &QLocalServer::newConnection, this, &HandOverServer::acceptAll);
    if (listenOnPath()) {
        wanted_ = true;
    } else {
        std::fprintf(stderr, "Cannot listen on %s: %s\n", qPrintable(path_),
                     qPrintable(errorString()));
    }
}

bool HandOverServer::listenOnPath() {
    // After Qt ended the listening by itself the server still has its name.
    close();
    QLocalServer::removeServer(path_);
    return listen(path_);
}

void HandOverServer::childEvent(QChildEvent* event) {
    QLocalServer::childEvent(event);
    // When accepting fails Qt closes the listening socket and lets go of its
    // notifier, a child; a peer going away frees a descriptor. Either is the
    // moment to look, and the timer takes it out of Qt's own call.
    if (event->removed() && wanted_ && socketDescriptor() == -1 && !relisten_.isActive()) {
        relisten_.start(0);
    }
}

void HandOverServer::acceptAll() {
    while (QLocalSocket* peer = nextPendingConnection()) {
        if (peers_ == maxPeers) {
            drop(peer);
            continue;
        }
        ++peers_;
        QObject::connect(peer, &QObject::destroyed, this, [this] { --peers_; });
        peer->setReadBufferSize(maxRequestBytes);
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] { answer(*peer); });
        QTimer::singleShot(peerLifetimeMs, peer, [peer] { drop(peer); });
    }
}

void HandOverServer::answer(QLocalSocket& peer) {
    if (!peer.canReadLine()) {
        if (peer.bytesAvailable() >= maxRequestBytes) drop(&peer);
        return;
    }
    const QByteArray request = peer.readLine();
    if (request == showRequest) {
        show_();
        peer.write(shownReply);
    } else if (request.startsWith(pasteRequestPrefix)) {
        const QByteArray value = request.mid(sizeof pasteRequestPrefix - 1).trimmed();
        bool number = false;
        const int row = value.toInt(&number);
        if (number && row >= 1 && row <= 10) {
            peer.write(pastingReply);
            // After the answer: the paste types keys, which takes a moment.
            QTimer::singleShot(0, this, [this, row] { paste_(row); });
        }
    }
    peer.disconnectFromServer();
}

}  // namespace tarnwick
