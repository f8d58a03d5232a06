// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandConnection.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ext-data-control-v1-client.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

namespace tarnwick::wayland {

namespace {

// A reader that takes no byte for this long is not reading any more.
constexpr std::chrono::seconds transferPatience{5};

const wl_registry_listener registryListener = {&Connection::global,
                                               [](void*, wl_registry*, std::uint32_t) {}};

}  // namespace

void Connection::global(void* data, wl_registry* registry, std::uint32_t name,
                        const char* interface, std::uint32_t version) {
    auto* self = static_cast<Connection*>(data);
    (void)version;
    // Version 1 everywhere: the clipboard only, never the primary selection.
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr) {
        self->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
        self->dataControl_ = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    } else if (std::strcmp(interface, ext_data_control_manager_v1_interface.name) == 0) {
        self->extDataControl_ = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &ext_data_control_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        self->virtualKeyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
}

std::unique_ptr<Connection> Connection::open() {
    std::unique_ptr<Connection> connection(new Connection);
    connection->display_ = wl_display_connect(nullptr);
    if (connection->display_ == nullptr) return nullptr;
    connection->registry_ = wl_display_get_registry(connection->display_);
    wl_registry_add_listener(connection->registry_, &registryListener, connection.get());
    if (wl_display_roundtrip(connection->display_) < 0) return nullptr;
    if (connection->seat_ == nullptr || connection->dataControl() == nullptr) return nullptr;
    return connection;
}

void Connection::stop() {
    stopping_ = true;
    if (wakePipe_[1] >= 0) {
        const char wake = 1;
        (void)!write(wakePipe_[1], &wake, 1);
    }
    if (thread_.joinable()) thread_.join();
}

Connection::~Connection() {
    stop();
    for (Transfer& transfer : transfers_) close(transfer.fd);
    for (int fd : wakePipe_) {
        if (fd >= 0) close(fd);
    }
    if (display_ != nullptr) wl_display_disconnect(display_);
}

void Connection::start(std::function<void()> onLost) {
    onLost_ = std::move(onLost);
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    thread_ = std::thread([this] { run(); });
}

void Connection::flush() {
    // A full socket (EAGAIN) is sent by the event thread's next flush.
    wl_display_flush(display_);
}

void Connection::serve(int fd, QByteArray data) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    Transfer transfer{fd, std::move(data), 0, std::chrono::steady_clock::now()};
    if (pushTransfer(transfer)) {
        transfers_.push_back(std::move(transfer));
    } else {
        close(fd);
    }
}

bool Connection::pushTransfer(Transfer& transfer) {
    while (transfer.written < transfer.data.size()) {
        const ssize_t n = write(transfer.fd, transfer.data.constData() + transfer.written,
                                static_cast<std::size_t>(transfer.data.size() - transfer.written));
        if (n > 0) {
            transfer.written += n;
            transfer.lastProgress = std::chrono::steady_clock::now();
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // EAGAIN: the reader is behind, go on later; any other error ends it.
            return n < 0 && errno == EAGAIN &&
                   std::chrono::steady_clock::now() - transfer.lastProgress < transferPatience;
        }
    }
    return false;
}

void Connection::run() {
    const int displayFd = wl_display_get_fd(display_);
    bool lost = false;
    while (!stopping_ && !lost) {
        while (!lost && wl_display_prepare_read(display_) != 0) {
            lost = wl_display_dispatch_pending(display_) < 0;
        }
        if (lost) break;
        wl_display_flush(display_);
        std::vector<pollfd> fds{{displayFd, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        for (const Transfer& transfer : transfers_) fds.push_back({transfer.fd, POLLOUT, 0});
        const int ready = poll(fds.data(), fds.size(), transfers_.empty() ? -1 : 1000);
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            lost = wl_display_read_events(display_) < 0;
        } else {
            wl_display_cancel_read(display_);
        }
        if (lost || wl_display_dispatch_pending(display_) < 0) break;
        char drained[64];
        while (read(wakePipe_[0], drained, sizeof drained) > 0) {
        }
        // The transfers polled, and those the events just added.
        std::vector<Transfer> going;
        for (Transfer& transfer : transfers_) {
            if (pushTransfer(transfer)) {
                going.push_back(std::move(transfer));
            } else {
                close(transfer.fd);
            }
        }
        transfers_ = std::move(going);
    }
    if (!stopping_ && onLost_) onLost_();
}

}  // namespace tarnwick::wayland
