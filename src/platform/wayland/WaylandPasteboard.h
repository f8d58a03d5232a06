// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Pasteboard.h"

struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

namespace tarnwick::wayland {

class Connection;

// The clipboard through the compositor's data-control: every selection
// reaches us with its types whatever window has the focus; reads are made off
// the main thread, one request at a time, each within a deadline and a size
// cap; our own texts are served from the connection's thread until replaced.
class WaylandPasteboard final : public Pasteboard {
public:
    explicit WaylandPasteboard(Connection& connection);
    ~WaylandPasteboard() override;

    void clearContents() override;
    bool setString(const QString& text) override;
    std::optional<QString> string() const override { return read().text; }
    Contents read() const override;
    bool readsOffMainThread() const override { return true; }
    std::uint64_t changeCount() const override { return changeCount_.load(); }
    bool reportsChanges() const override { return true; }
    void setChangeListener(std::function<void()> listener) override;

    struct Offer {
        zwlr_data_control_offer_v1* proxy = nullptr;
        std::vector<std::string> types;  // complete once it is the selection
        bool alive = true;               // under the pasteboard's mutex
        bool offers(const char* type) const;
    };

    // The connection thread's events.
    void introduce(zwlr_data_control_offer_v1* proxy);
    void addType(zwlr_data_control_offer_v1* proxy, const char* type);
    void select(zwlr_data_control_offer_v1* proxy);
    void dropPrimary(zwlr_data_control_offer_v1* proxy);
    void send(zwlr_data_control_source_v1* source, const char* type, int fd);
    void cancel(zwlr_data_control_source_v1* source);

private:
    std::optional<QByteArray> receive(const Offer& offer, const char* type) const;
    void tellListener();

    Connection& connection_;
    zwlr_data_control_device_v1* device_ = nullptr;
    // Offers whose types are still arriving; the connection thread's only.
    std::map<zwlr_data_control_offer_v1*, std::shared_ptr<Offer>> introduced_;

    mutable std::mutex mutex_;
    std::shared_ptr<Offer> selection_;
    std::atomic<std::uint64_t> changeCount_{0};
    bool own_ = false;  // the selection is ours (or cleared by us): no need to ask
    std::optional<QString> ownText_;
    int pendingClears_ = 0;  // our clears whose empty selection has not come back
    std::map<zwlr_data_control_source_v1*, QByteArray> served_;

    mutable std::mutex readMutex_;
    std::mutex listenerMutex_;
    std::function<void()> listener_;
};

}  // namespace tarnwick::wayland
