// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace tarnwick {

class HandOverServer;

// Who holds a lock, judged from what the lock says of its writer: a process
// on another host cannot be asked whether it still runs.
enum class LockHolder { gone, running, elsewhere };
LockHolder judgeLock(const QString& lockHost, const QString& thisHost, bool processAlive);

// One running copy per user and display session. The first start holds a lock
// file in the user's runtime folder for its whole life and listens on a local
// socket beside it; a later start finds the lock held and asks the first one,
// through the socket, to show its window. The lock is the arbiter, not the
// socket: a crashed copy leaves a socket file behind, but its lock goes stale
// with its process.
class SingleInstance {
public:
    // session: the display session (see displaySession()); empty means no
    // display, and then there is no guard at all.
    explicit SingleInstance(const QString& session);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the first of its session and goes on
    // starting. Needs no application object.
    bool claim();
    // For a later start: asks the first copy to show its window, says so on
    // standard output and returns the exit status (0 when the first answered).
    // A lock from another host is reported instead, with status 1.
    int handOver();
    // For --paste: asks the first copy to paste row (1 to 10) and returns the
    // exit status; 1, with a line saying why, when no copy runs or it did not
    // answer.
    int askToPaste(int row);
    // For the first copy, once the application object exists: runs show on
    // the main thread for every later start, paste for every --paste, while
    // the server lives (none without the lock).
    std::unique_ptr<HandOverServer> listen(std::function<void()> show,
                                           std::function<void(int)> paste);

private:
    QString lockPath() const { return base_ + QStringLiteral(".lock"); }
    QString socketPath() const { return base_ + QStringLiteral(".socket"); }

    QString base_;
    std::unique_ptr<QLockFile> lock_;
    QString lockHost_;  // the host that wrote the lock, when it is not this one
};

}  // namespace tarnwick
