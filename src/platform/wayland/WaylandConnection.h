// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwp_virtual_keyboard_manager_v1;

namespace tarnwick::wayland {

// A connection of our own to the compositor, for the clipboard and the
// virtual keyboard, and the thread that reads its events: a clipboard owner
// that hangs or floods then never stalls Qt's connection or the main thread.
class Connection {
public:
    // Connects to WAYLAND_DISPLAY and learns its globals; none without a
    // compositor or without data-control (a clipboard manager is impossible).
    static std::unique_ptr<Connection> open();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    wl_display* display() const { return display_; }
    wl_seat* seat() const { return seat_; }
    // ext_data_control_manager_v1 where offered, else the wlroots manager.
    // The two interface sets match request for request and event for event,
    // so the ext objects are driven through the wlroots set's generated code.
    zwlr_data_control_manager_v1* dataControl() const {
        return extDataControl_ != nullptr ? extDataControl_ : dataControl_;
    }
    zwp_virtual_keyboard_manager_v1* virtualKeyboards() const { return virtualKeyboards_; }

    // Starts the event thread; onLost runs on it once if the compositor goes.
    void start(std::function<void()> onLost);
    // Main thread: ends the event thread, so that nothing it calls is still
    // running (the pasteboard's end).
    void stop();
    // Any thread: sends what was asked so far.
    void flush();
    // Event thread: writes data to fd (made non-blocking) as the reader
    // takes it, then closes fd; a reader that takes nothing for a while is
    // dropped.
    void serve(int fd, QByteArray data);

    // The registry's listener: binds the globals above.
    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);

private:
    Connection() = default;
    void run();
    struct Transfer {
        int fd;
        QByteArray data;
        qsizetype written;
        std::chrono::steady_clock::time_point lastProgress;
    };
    bool pushTransfer(Transfer& transfer);

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_data_control_manager_v1* dataControl_ = nullptr;
    zwlr_data_control_manager_v1* extDataControl_ = nullptr;
    zwp_virtual_keyboard_manager_v1* virtualKeyboards_ = nullptr;
    std::function<void()> onLost_;
    std::vector<Transfer> transfers_;  // event thread only
    int wakePipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// The connection prepareApplication() chose Wayland with, or none (X11).
Connection* chosenConnection();

}  // namespace tarnwick::wayland
