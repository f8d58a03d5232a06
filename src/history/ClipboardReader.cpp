// SPDX-License-Identifier: MIT
#include "history/ClipboardReader.h"

#include <algorithm>

namespace tarnwick {

ClipboardReader::ClipboardReader(Pasteboard& pasteboard, std::chrono::milliseconds readFloor)
    : pasteboard_(pasteboard),
      readFloor_(readFloor),
      offMainThread_(pasteboard.readsOffMainThread()) {}

void ClipboardReader::stop() {
    {
        std::lock_guard lock(floorMutex_);
        stopping_ = true;
    }
    floorWake_.notify_all();
}

void ClipboardReader::waitOutReadFloor() {
    // A report wakes the next pass at once, but its read is never closer than
    // one interval to the previous one: a change arriving sooner is read at
    // the end of the interval.
    if (!lastReadCount_) return;
    std::unique_lock lock(floorMutex_);
    floorWake_.wait_until(lock, lastReadStart_ + readFloor_, [this] { return stopping_.load(); });
}

bool ClipboardReader::readChange() {
    // One read per change: a pass woken by a history change finds the
    // clipboard's text read already.
    if (lastReadCount_ == pasteboard_.changeCount()) return false;
    waitOutReadFloor();
    if (stopping_) return false;
    lastReadStart_ = std::chrono::steady_clock::now();
    Pasteboard::Contents contents = pasteboard_.read();
    const std::uint64_t count = contents.count;
    lastReadCount_ = count;
    {
        std::lock_guard lock(readMutex_);
        reads_.push_back(std::move(contents));
        readsUpTo_ = std::max(readsUpTo_, count + 1);
    }
    readDone_.notify_all();
    return pasteboard_.changeCount() != count;
}

bool ClipboardReader::awaitCurrentRead(std::chrono::milliseconds patience,
                                       const std::function<void()>& whileWaiting) {
    // The polling thread is reading the change current now: wait for that
    // read, but only so long (an owner that hangs must not hold a hot key or
    // the window for its whole read). Changes made meanwhile came after the
    // key, and a program copying without pause must not keep it waiting.
    std::optional<QString> known;
    if (!offMainThread_ || knownText(known)) return true;
    const std::uint64_t wanted = pasteboard_.changeCount();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::unique_lock lock(readMutex_);
    const auto readNow = [this, wanted] { return readsUpTo_ > wanted; };
    while (!readDone_.wait_for(lock, std::chrono::milliseconds(1), readNow)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
    return true;
}

std::uint64_t ClipboardReader::takeReads(
    const std::function<void(const std::optional<QString>&)>& copied) {
    std::deque<Pasteboard::Contents> reads;
    {
        std::lock_guard lock(readMutex_);
        reads.swap(reads_);
    }
    // Counted after the swap: no read taken is of a later change than this.
    const std::uint64_t now = pasteboard_.changeCount();
    for (Pasteboard::Contents& read : reads) {
        // What this program wrote itself is no copy; the current change is
        // looked at by the caller, with the history as it is then.
        if (std::find(ownWrites_.begin(), ownWrites_.end(), read.count) != ownWrites_.end())
            continue;
        if (read.count == now) {
            cachedText_ = std::move(read.text);
            cachedTextCount_ = now;
            cachedTextValid_ = true;
            continue;
        }
        // Moved past before it reached this thread: still a copy the user made.
        copied(read.text);
    }
    return now;
}

bool ClipboardReader::knownTextAt(std::uint64_t count, std::optional<QString>& text) const {
    if (!cachedTextValid_ || count != cachedTextCount_) {
        if (offMainThread_) {
            // The main thread never waits for another program: only the
            // polling thread's read of this very change is taken.
            std::lock_guard lock(readMutex_);
            if (reads_.empty() || reads_.back().count != count) return false;
            cachedText_ = reads_.back().text;
        } else {
            cachedText_ = pasteboard_.string();
        }
        cachedTextCount_ = count;
        cachedTextValid_ = true;
    }
    text = cachedText_;
    return true;
}

bool ClipboardReader::write(const QString* text) {
    // A write replaces the contents in one step: cleared first, the clipboard
    // would be ownerless for a moment, and a paste then finds nothing.
    bool written = true;
    if (text) {
        written = pasteboard_.setString(*text);
    } else {
        pasteboard_.clearContents();
    }
    cachedTextValid_ = false;
    if (offMainThread_) {
        // Reads of this change are not copies; a short memory is enough, as
        // reads reach the main thread within a few passes.
        ownWrites_.push_back(pasteboard_.changeCount());
        if (ownWrites_.size() > 16) ownWrites_.pop_front();
    }
    if (written && offMainThread_) {
        // What this program wrote is known without asking anyone.
        cachedText_ = text ? std::optional<QString>(*text) : std::nullopt;
        cachedTextCount_ = pasteboard_.changeCount();
        cachedTextValid_ = true;
    }
    return written;
}

bool ClipboardReader::copy(const QString& text) {
    // Written in one step: the clipboard is never without an owner between.
    const bool written = pasteboard_.setString(text);
    cachedTextValid_ = false;
    return written;
}

}  // namespace tarnwick
