// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QTimer>
#include <functional>

class QLocalSocket;

namespace tarnwick {

// What a later start sends the first copy, and the first copy's answer.
inline constexpr char showRequest[] = "show\n";
inline constexpr char shownReply[] = "shown\n";
// "paste N\n" asks for row N (1 to 10) as its hot key pastes it; the answer
// comes at once, before the paste.
inline constexpr char pasteRequestPrefix[] = "paste ";
inline constexpr char pastingReply[] = "pasting\n";

// The first copy's side of the hand-over: listens on the socket beside the
// lock and runs show (or paste) for every request. Any local program of this user can
// connect, so it stays cheap whatever they send or hold: a few peers at a
// time, each for a short while and a short request, and a listening that Qt
// ends by itself (no file descriptor left to accept with) starts again.
class HandOverServer : public QLocalServer {
public:
    // Listens on path (a stale socket file there is replaced: the caller
    // holds the lock); says so on standard error when it cannot.
    HandOverServer(QString path, std::function<void()> show, std::function<void(int)> paste);

protected:
    void childEvent(QChildEvent* event) override;

private:
    bool listenOnPath();
    void acceptAll();
    void answer(QLocalSocket& peer);

    const QString path_;
    const std::function<void()> show_;
    const std::function<void(int)> paste_;
    int peers_ = 0;
    bool wanted_ = false;  // listening, or trying to listen again
    QTimer relisten_;
};

}  // namespace tarnwick
