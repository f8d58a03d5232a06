// SPDX-License-Identifier: MIT
#include "platform/x11/display/KeymapBursts.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tarnwick::x11 {

namespace {

// XKB sends all its notices as one event code; byte 1 says which.
constexpr uint8_t kNewKeyboardNotify = 0;
constexpr uint8_t kMapNotify = 1;
constexpr uint8_t kKeycodesChanged = 0x01;  // a new keyboard's "changed" bits
constexpr uint8_t kSentBit = 0x80;          // set on events that came by SendEvent
// How long the mapping must stay unchanged before Qt hears the last notice.
constexpr int kQuietMs = 100;
// A burst that never ends still brings Qt up to date this often.
constexpr int kLongestHoldMs = 1000;

struct XkbNoticeHead {
    uint8_t responseType;
    uint8_t xkbType;
    uint16_t sequence;
    xcb_timestamp_t time;
    uint8_t deviceId;
    uint8_t oldDeviceId;
    uint8_t minKeyCode;
    uint8_t maxKeyCode;
    uint8_t oldMinKeyCode;
    uint8_t oldMaxKeyCode;
    uint8_t requestMajor;
    uint8_t requestMinor;
    uint16_t changed;  // a new keyboard's; a map notice's bytes differ here
};
using WireEvent = std::array<char, 32>;

// A child of the application object, so that it ends with it.
class KeymapBurstFilter : public QObject, public QAbstractNativeEventFilter {
public:
    KeymapBurstFilter(xcb_connection_t* connection, uint8_t xkbEvent, QObject* parent)
        : QObject(parent), connection_(connection), xkbEvent_(xkbEvent) {
        createMailbox();
        sinceLast_.invalidate();
        quiet_.setSingleShot(true);
        QObject::connect(&quiet_, &QTimer::timeout, [this] { onQuietCheck(); });
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        // Only real notices that make Qt rebuild its keymap; the copy this
        // filter sends itself (and anything else sent) goes through.
        if (event->response_type != xkbEvent_ || !rebuildsKeymap(event)) return false;
        const bool inBurst =
            !held_.empty() || (sinceLast_.isValid() && sinceLast_.elapsed() < kQuietMs);
        sinceLast_.start();
        if (!inBurst) return false;
        hold(event);
        if (!quiet_.isActive()) quiet_.start(kQuietMs);
        return true;
    }

private:
    static bool rebuildsKeymap(const xcb_generic_event_t* event) {
        XkbNoticeHead head;
        std::memcpy(&head, event, sizeof head);
        if (head.xkbType == kMapNotify) return true;
        return head.xkbType == kNewKeyboardNotify && (head.changed & kKeycodesChanged) != 0;
    }

    // An unmapped window of Qt's own connection: an event sent to it with no
    // event mask goes to that connection and nowhere else.
    void createMailbox() {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        mailbox_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, 0, mailbox_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    }

    // The last notice of each keyboard: one layout change notifies every
    // keyboard device, and Qt heeds only the core keyboard's.
    void hold(const xcb_generic_event_t* event) {
        if (held_.empty()) heldFor_.start();
        WireEvent copy;
        std::memcpy(copy.data(), event, copy.size());
        constexpr size_t device = offsetof(XkbNoticeHead, deviceId);
        const auto sameDevice = [&](const WireEvent& held) { return held[device] == copy[device]; };
        const auto found = std::find_if(held_.begin(), held_.end(), sameDevice);
        if (found != held_.end()) {
            *found = copy;
        } else {
            held_.push_back(copy);
        }
    }

    void onQuietCheck() {
        const qint64 quietFor = sinceLast_.elapsed();
        if (quietFor < kQuietMs && heldFor_.elapsed() < kLongestHoldMs) {
            quiet_.start(int(kQuietMs - quietFor));
            return;
        }
        // Qt reads the whole keymap from the server on any such notice, so
        // copies of the last ones held back bring it up to date.
        for (WireEvent& event : held_) {
            event[0] = char(uint8_t(event[0]) | kSentBit);
            xcb_send_event(connection_, 0, mailbox_, 0, event.data());
        }
        xcb_flush(connection_);
        held_.clear();
    }

    xcb_connection_t* connection_;
    uint8_t xkbEvent_;
    xcb_window_t mailbox_ = 0;
    QElapsedTimer sinceLast_;
    QElapsedTimer heldFor_;
    QTimer quiet_;
    std::vector<WireEvent> held_;
};

// The event code XKB's notices arrive with, or 0 without the extension.
uint8_t xkbEventCode(xcb_connection_t* connection) {
    static const char kName[] = "XKEYBOARD";
    const auto cookie = xcb_query_extension(connection, sizeof kName - 1, kName);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const uint8_t code = reply != nullptr && reply->present ? reply->first_event : 0;
    std::free(reply);
    return code;
}

}  // namespace

void coalesceKeymapBursts() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) return;
    const uint8_t xkbEvent = xkbEventCode(x11->connection());
    if (xkbEvent == 0) return;
    QCoreApplication* app = QCoreApplication::instance();
    app->installNativeEventFilter(new KeymapBurstFilter(x11->connection(), xkbEvent, app));
}

}  // namespace tarnwick::x11
