// SPDX-License-Identifier: MIT
#include "app/EndingSignals.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr int endingSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t wakeFd = -1;

void onEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pair already holds a wake-up: a write that fails loses nothing.
    if (write(wakeFd, &byte, 1) < 0) {
    }
    errno = saved;
}

}  // namespace

EndingSignals::EndingSignals(std::function<void()> quit) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair_) != 0) return;
    for (int fd : pair_) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    wakeFd = pair_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pair_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd = pair_[0], quit] {
        char bytes[16];
        while (read(fd, bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    struct sigaction action {};
    action.sa_handler = &onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : endingSignals) sigaction(signal, &action, nullptr);
}

EndingSignals::~EndingSignals() {
    if (!notifier_) return;
    // From here on, while the rest unwinds, a signal ends the program at once.
    for (int signal : endingSignals) std::signal(signal, SIG_DFL);
    wakeFd = -1;
    notifier_.reset();
    for (int fd : pair_) close(fd);
}

}  // namespace tarnwick
