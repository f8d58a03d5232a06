// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandPasteboard.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>

#include "platform/wayland/WaylandConnection.h"
#include "wlr-data-control-unstable-v1-client.h"

namespace tarnwick::wayland {

namespace {

using Clock = std::chrono::steady_clock;

// Each request ends this long after it began, whatever the owner still sends...
constexpr std::chrono::milliseconds readDeadline{1000};
// ...or once it has brought this much: a text past it is no copy to keep.
constexpr std::size_t readSizeCap = std::size_t{256} << 20;

// The plain-text types, best first; a copy offering none of them (only a
// list of file URIs, an image) is no text.
constexpr const char* textTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"};
// Password managers mark a secret copy with this type, its content "secret".
constexpr char secretHint[] = "x-kde-passwordManagerHint";
// Offered beside our own texts: the selection that comes back with it is ours.
constexpr char ownMarker[] = "application/x-tarnwick-own";

WaylandPasteboard* of(void* data) {
    return static_cast<WaylandPasteboard*>(data);
}

const zwlr_data_control_offer_v1_listener offerListener = {
    [](void* data, zwlr_data_control_offer_v1* offer, const char* type) {
        of(data)->addType(offer, type);
    }};

const zwlr_data_control_device_v1_listener deviceListener = {
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        of(data)->introduce(offer);
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        of(data)->select(offer);
    },
    // finished: the seat is gone; the compositor's loss ends the program anyway.
    [](void*, zwlr_data_control_device_v1*) {},
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        of(data)->dropPrimary(offer);
    }};

const zwlr_data_control_source_v1_listener sourceListener = {
    [](void* data, zwlr_data_control_source_v1* source, const char* type, int fd) {
        of(data)->send(source, type, fd);
    },
    [](void* data, zwlr_data_control_source_v1* source) { of(data)->cancel(source); }};

}  // namespace

bool WaylandPasteboard::Offer::offers(const char* type) const {
    for (const std::string& offered : types) {
        if (offered == type) return true;
    }
    return false;
}

WaylandPasteboard::WaylandPasteboard(Connection& connection) : connection_(connection) {
    device_ =
        zwlr_data_control_manager_v1_get_data_device(connection.dataControl(), connection.seat());
    zwlr_data_control_device_v1_add_listener(device_, &deviceListener, this);
    connection_.flush();
}

WaylandPasteboard::~WaylandPasteboard() {
    // The connection outlives us: no event of its may reach us any more.
    connection_.stop();
    std::lock_guard lock(mutex_);
    zwlr_data_control_device_v1_destroy(device_);
    for (auto& [source, text] : served_) zwlr_data_control_source_v1_destroy(source);
    connection_.flush();
}

void WaylandPasteboard::setChangeListener(std::function<void()> listener) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(listener);
}

void WaylandPasteboard::tellListener() {
    std::lock_guard lock(listenerMutex_);
    if (listener_) listener_();
}

void WaylandPasteboard::introduce(zwlr_data_control_offer_v1* proxy) {
    auto offer = std::make_shared<Offer>();
    offer->proxy = proxy;
    introduced_[proxy] = offer;
    zwlr_data_control_offer_v1_add_listener(proxy, &offerListener, this);
}

void WaylandPasteboard::addType(zwlr_data_control_offer_v1* proxy, const char* type) {
    const auto found = introduced_.find(proxy);
    if (found != introduced_.end()) found->second->types.emplace_back(type);
}

void WaylandPasteboard::dropPrimary(zwlr_data_control_offer_v1* proxy) {
    // Only the clipboard is followed, never the primary selection.
    if (proxy == nullptr) return;
    introduced_.erase(proxy);
    zwlr_data_control_offer_v1_destroy(proxy);
}

void WaylandPasteboard::select(zwlr_data_control_offer_v1* proxy) {
    std::shared_ptr<Offer> offer;
    if (const auto found = introduced_.find(proxy); found != introduced_.end()) {
        offer = found->second;
        introduced_.erase(found);
    }
    {
        std::lock_guard lock(mutex_);
        if (selection_) {
            selection_->alive = false;
            zwlr_data_control_offer_v1_destroy(selection_->proxy);
        }
        selection_ = offer;
        // Our own text or our clear coming back is no change.
        if (offer ? offer->offers(ownMarker) : pendingClears_ > 0) {
            if (!offer) --pendingClears_;
            return;
        }
        own_ = false;
        ownText_.reset();
        ++changeCount_;
    }
    tellListener();
}

void WaylandPasteboard::send(zwlr_data_control_source_v1* source, const char* type, int fd) {
    QByteArray text;
    bool known = false;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = served_.find(source); found != served_.end()) {
            text = found->second;
            known = true;
        }
    }
    bool textType = false;
    for (const char* offered : textTypes) textType = textType || std::strcmp(offered, type) == 0;
    if (known && textType) {
        connection_.serve(fd, std::move(text));
    } else {
        close(fd);
    }
}

void WaylandPasteboard::cancel(zwlr_data_control_source_v1* source) {
    std::lock_guard lock(mutex_);
    served_.erase(source);
    zwlr_data_control_source_v1_destroy(source);
}

void WaylandPasteboard::clearContents() {
    {
        std::lock_guard lock(mutex_);
        ++pendingClears_;
        zwlr_data_control_device_v1_set_selection(device_, nullptr);
        own_ = true;
        ownText_.reset();
        ++changeCount_;
    }
    connection_.flush();
}

bool WaylandPasteboard::setString(const QString& text) {
    {
        // Replaces whatever is there in one step: the clipboard never lacks
        // an owner, and the source serves the text until someone replaces it.
        std::lock_guard lock(mutex_);
        zwlr_data_control_source_v1* source =
            zwlr_data_control_manager_v1_create_data_source(connection_.dataControl());
        zwlr_data_control_source_v1_add_listener(source, &sourceListener, this);
        for (const char* type : textTypes) zwlr_data_control_source_v1_offer(source, type);
        zwlr_data_control_source_v1_offer(source, ownMarker);
        served_[source] = text.toUtf8();
        zwlr_data_control_device_v1_set_selection(device_, source);
        own_ = true;
        ownText_ = text;
        ++changeCount_;
    }
    connection_.flush();
    return true;
}

Pasteboard::Contents WaylandPasteboard::read() const {
    std::shared_ptr<Offer> offer;
    std::uint64_t count = 0;
    {
        std::lock_guard lock(mutex_);
        // Labelled with the count from before the request: a change during
        // the read is counted after it and read again.
        count = changeCount_.load();
        if (own_) return {count, ownText_};
        offer = selection_;
    }
    if (!offer) return {count, std::nullopt};
    std::lock_guard lock(readMutex_);
    if (offer->offers(secretHint)) {
        // A hint that cannot be read counts as secret: a password is never recorded.
        const std::optional<QByteArray> hint = receive(*offer, secretHint);
        if (!hint || hint->trimmed().toLower() == "secret") return {count, std::nullopt};
    }
    for (const char* type : textTypes) {
        if (!offer->offers(type)) continue;
        const std::optional<QByteArray> data = receive(*offer, type);
        if (!data) return {count, std::nullopt};
        return {count, QString::fromUtf8(*data)};
    }
    return {count, std::nullopt};
}

std::optional<QByteArray> WaylandPasteboard::receive(const Offer& offer, const char* type) const {
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) return std::nullopt;
    {
        std::lock_guard lock(mutex_);
        if (!offer.alive) {
            close(pipe[0]);
            close(pipe[1]);
            return std::nullopt;
        }
        zwlr_data_control_offer_v1_receive(offer.proxy, type, pipe[1]);
    }
    connection_.flush();
    // The request holds a copy of the write end: the owner's close ends the read.
    close(pipe[1]);
    const Clock::time_point deadline = Clock::now() + readDeadline;
    QByteArray data;
    std::optional<QByteArray> result;
    char chunk[65536];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{pipe[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count()) + 1) <= 0) break;
        const ssize_t n = ::read(pipe[0], chunk, sizeof chunk);
        if (n == 0) {
            result = std::move(data);
            break;
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            break;
        }
        if (static_cast<std::size_t>(data.size()) + static_cast<std::size_t>(n) > readSizeCap) {
            break;
        }
        data.append(chunk, n);
    }
    close(pipe[0]);
    return result;
}

}  // namespace tarnwick::wayland
