// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/Pasteboard.h"

class QClipboard;

namespace tarnwick {

namespace x11 {
class SelectionReader;
}

// The CLIPBOARD selection on X11. Writes go through QClipboard on the main
// thread (Qt then answers other programs' requests); reads use a connection
// of their own and are made off the main thread.
class X11Pasteboard final : public QObject, public Pasteboard {
    Q_OBJECT
public:
    X11Pasteboard();
    ~X11Pasteboard() override;

    void clearContents() override;
    bool setString(const QString& text) override;
    std::optional<QString> string() const override { return read().text; }
    Contents read() const override;
    bool readsOffMainThread() const override { return true; }
    std::uint64_t changeCount() const override { return changeCount_.load(); }
    bool reportsChanges() const override { return true; }
    void setChangeListener(std::function<void()> listener) override;

    // Any thread: the X server gave the CLIPBOARD selection to owner (a window,
    // or none). Reported by the key tap's connection, where it is read before
    // any key pressed after it, so a hot key right after a copy knows of it
    // even while the main thread is busy.
    void noteOwnerChange(unsigned long owner);

private:
    void noteChange();
    void tellListener();

    QClipboard* clipboard_;
    std::atomic<std::uint64_t> changeCount_{0};
    std::mutex listenerMutex_;
    std::function<void()> listener_;
    // Qt's connection's resource ids: windows this program owns the selection with.
    unsigned long ownIdBase_ = 0;
    unsigned long ownIdMask_ = 0;

    // What this program last put on the clipboard, while it still owns it:
    // then nothing needs to be asked of the X server.
    mutable std::mutex ownMutex_;
    bool own_ = false;
    std::optional<QString> ownText_;
    // Reads are made by one thread at a time, the polling thread.
    mutable std::mutex readMutex_;
    std::unique_ptr<x11::SelectionReader> reader_;
};

}  // namespace tarnwick
