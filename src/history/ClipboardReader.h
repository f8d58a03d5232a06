// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/Pasteboard.h"

namespace tarnwick {

// The engine's way to the clipboard's text: the polling thread's reads (one
// per change, no closer together than the read floor) queued for the main
// thread, the changes this program's own writes made, and the text of the
// current change as last read or written, so the main thread never waits for
// another program and a large text is held once.
class ClipboardReader {
public:
    ClipboardReader(Pasteboard& pasteboard, std::chrono::milliseconds readFloor);
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;

    // Where reads may wait for another program: the polling thread reads and
    // the main thread takes its reads; elsewhere the main thread reads itself.
    bool offMainThread() const { return offMainThread_; }

    // Polling thread. Reads the current change unless it was read already, no
    // sooner than the read floor after the previous read. True when the
    // clipboard changed again during the read: that change wants a read too.
    bool readChange();
    // Any thread: ends a wait for the read floor for good.
    void stop();

    // Main thread. Takes the queued reads, oldest first: the read of the
    // change current now is kept as its text, reads of our own writes are
    // dropped, and each other one, a copy the clipboard has moved past, goes
    // to copied. Returns the change it took as current: the caller looks at
    // that one, as the clipboard may move on meanwhile and its text is no
    // longer queued.
    std::uint64_t takeReads(const std::function<void(const std::optional<QString>&)>& copied);
    // Main thread. The text of the current change, if known without waiting
    // for another program (false: still being read).
    bool knownText(std::optional<QString>& text) const {
        return knownTextAt(pasteboard_.changeCount(), text);
    }
    // The same for change count, the current one or one just taken.
    bool knownTextAt(std::uint64_t count, std::optional<QString>& text) const;
    // Main thread. Waits up to patience for the polling thread's read of the
    // current change, calling whileWaiting now and then (the polling thread
    // may be waiting for the main thread). False when it did not come.
    bool awaitCurrentRead(std::chrono::milliseconds patience,
                          const std::function<void()>& whileWaiting);

    // Main thread. Writes text (nullptr: clears) as this program's own: reads
    // of that change are no copies, and its text is known without asking.
    bool write(const QString* text);
    // Main thread. Writes text as the user's copy, to be read like any other.
    bool copy(const QString& text);

private:
    void waitOutReadFloor();

    Pasteboard& pasteboard_;
    const std::chrono::milliseconds readFloor_;
    const bool offMainThread_;

    // The polling thread's reads not yet taken by the main thread, oldest
    // first, each with the change count it was made at. Every read is a copy,
    // also one the clipboard has moved past meanwhile.
    mutable std::mutex readMutex_;
    std::condition_variable readDone_;
    std::deque<Pasteboard::Contents> reads_;
    // One more than the newest change read so far (0: none yet).
    std::uint64_t readsUpTo_ = 0;
    // Polling thread only: the change last read, and when that read began.
    std::optional<std::uint64_t> lastReadCount_;
    std::chrono::steady_clock::time_point lastReadStart_;
    std::mutex floorMutex_;
    std::condition_variable floorWake_;
    std::atomic<bool> stopping_{false};
    // Main thread only: the changes this program's own writes made (entry 0
    // put back, an entry put there for a paste): reads of them are no copies.
    std::deque<std::uint64_t> ownWrites_;

    // The clipboard's text as last read (or written), re-read only when its
    // change count moved: a large text is then held once, shared with the
    // history. Main thread only.
    mutable std::optional<QString> cachedText_;
    mutable std::uint64_t cachedTextCount_ = 0;
    mutable bool cachedTextValid_ = false;
};

}  // namespace tarnwick
