#include "history/BufferChecker.h"

#include <cstdio>

#include "platform/MainThread.h"
#include "platform/Pasteboard.h"
#include "platform/TextNormalizer.h"

namespace tarnwick {

namespace {

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

BufferChecker::BufferChecker(Pasteboard& pasteboard, MainThread& mainThread,
                             std::chrono::milliseconds pollInterval)
    : pasteboard_(pasteboard),
      mainThread_(mainThread),
      pollInterval_(pollInterval),
      reportsChanges_(pasteboard.reportsChanges()),
      readsOffMainThread_(pasteboard.readsOffMainThread()) {
    pasteboard_.setChangeListener([this] { clipboardMayHaveChanged(); });
}

BufferChecker::~BufferChecker() {
    stopping_ = true;
    {
        std::lock_guard lock(wakeMutex_);
        changeHint_ = true;
    }
    wake_.notify_all();
    mainThreadDone.mutate([](bool& done) { done = true; });
    if (pollingThread_.joinable()) pollingThread_.join();
    pasteboard_.setChangeListener({});
}

void BufferChecker::startPolling() {
    publish();
    pollingThread_ = std::thread([this] { startBufferUpdating(); });
}

void BufferChecker::startBufferUpdating() {
    while (!stopping_) {
        const auto passStart = std::chrono::steady_clock::now();
        // Only a pass that may find something hands a step to the main thread,
        // so an idle program does not wake its main thread four times a second.
        const bool look = mayHaveChanged_.exchange(false) || !reportsChanges_;
        // A read that waits for another program happens here, at once and
        // before the pass announces itself: a pausing main thread never waits
        // for it, and a hot key right after a copy finds the text read.
        if (look && readsOffMainThread_) readAhead();
        if (look) waitOutPassFloor();
        // The pass is announced before the permission is read: a pausing thread
        // that then sees updatingBuffer false knows no pass can still look.
        updatingBuffer.mutate([](bool& busy) { busy = true; });
        if (updateBuffer.value() && look && !stopping_) {
            mainThreadDone.mutate([](bool& done) { done = false; });
            stepPending_ = true;
            mainThread_.post([this] { runPendingStep(); });
            // The engine's end may come while the step is queued: it cannot
            // release a wait that began after it, so look at it now and then.
            while (!mainThreadDone.waitFor(true, std::chrono::milliseconds(50)) && !stopping_) {
            }
        }
        updatingBuffer.mutate([](bool& busy) { busy = false; });
        sleepUntilNextPass(passStart);
    }
}

void BufferChecker::sleepUntilNextPass(std::chrono::steady_clock::time_point passStart) {
    std::unique_lock lock(wakeMutex_);
    const auto woken = [this] { return changeHint_ || stopping_; };
    bool hinted = wake_.wait_until(lock, passStart + pollInterval_, woken);
    if (!hinted && reportsChanges_) {
        // Where every change is reported, a pass without one would find
        // nothing: sleep until there is something to look at.
        wake_.wait(lock, woken);
    }
    changeHint_ = false;
}

void BufferChecker::waitOutPassFloor() {
    // A report wakes the next pass at once, but its look at the clipboard is
    // never closer than one interval to the previous one.
    if (!reportsChanges_) return;
    std::unique_lock lock(wakeMutex_);
    const auto sinceLook = std::chrono::nanoseconds(nowNs() - lastLookNs_.load());
    if (sinceLook < pollInterval_) {
        wake_.wait_for(lock, pollInterval_ - sinceLook, [this] { return stopping_.load(); });
    }
}

void BufferChecker::wakePolling() {
    mayHaveChanged_ = true;
    {
        std::lock_guard lock(wakeMutex_);
        changeHint_ = true;
    }
    wake_.notify_all();
}

void BufferChecker::clipboardMayHaveChanged() {
    unpolledChange_.store(true, std::memory_order_release);
    wakePolling();
}

void BufferChecker::runPendingStep() {
    if (!stepPending_.exchange(false)) return;
    // A step that arrives while polling is paused changes nothing; it only
    // releases the polling thread.
    if (updateBuffer.value()) updateBufferHistory();
    mainThreadDone.mutate([](bool& done) { done = true; });
}

bool BufferChecker::clipboardMayDifferFromLastLook() const {
    if (!looked_ || pasteboard_.changeCount() != lookedChangeCount_) return true;
    if (bufferArray.isEmpty() != lookedEmpty_) return true;
    if (bufferArray.isEmpty()) return false;
    const QString& entryZero = bufferArray.front();
    return entryZero.constData() != lookedEntryZero_.constData() ||
           entryZero.size() != lookedEntryZero_.size();
}

void BufferChecker::readAhead() {
    const std::uint64_t count = pasteboard_.changeCount();
    std::optional<QString> text = pasteboard_.string();
    {
        std::lock_guard lock(readMutex_);
        readAhead_ = ClipboardRead{count, std::move(text)};
    }
    readDone_.notify_all();
}

void BufferChecker::awaitCurrentRead() {
    // A hot key right after a copy: the polling thread is reading that copy
    // now. Wait for it briefly (long enough for megabytes from an owner that
    // answers): an owner that hangs must not hold the hot key for its whole
    // read. A copy still unread then is added after the paste.
    std::optional<QString> known;
    if (!readsOffMainThread_ || knownClipboardText(known)) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    std::unique_lock lock(readMutex_);
    const auto readNow = [this] {
        return readAhead_ && readAhead_->count == pasteboard_.changeCount();
    };
    while (!readDone_.wait_for(lock, std::chrono::milliseconds(1), readNow)) {
        if (std::chrono::steady_clock::now() >= deadline) return;
        // The polling thread may be waiting for a step queued to this thread.
        lock.unlock();
        runPendingStep();
        lock.lock();
    }
}

void BufferChecker::updateBufferHistory() {
    if (!clipboardMayDifferFromLastLook()) return;
    lastLookNs_ = nowNs();
    std::optional<QString> text;
    if (!knownClipboardText(text)) {
        // Changed again since the polling thread read it: read it afresh.
        wakePolling();
        return;
    }
    looked_ = true;
    lookedChangeCount_ = pasteboard_.changeCount();
    unpolledChange_.store(false, std::memory_order_release);

    if (text && !isOwnPaste(text) &&
        (bufferArray.isEmpty() ||
         (!sameCanonical(*text, bufferArray.front()) && !sameCanonical(*text, lastAdded)))) {
        history_.add(*text);
        lastAdded = *text;
    }
    lookedEmpty_ = bufferArray.isEmpty();
    lookedEntryZero_ = lookedEmpty_ ? QString() : bufferArray.front();
    publish();
}

bool BufferChecker::sameText(const QString& a, const QString& b) {
    if (a == b) return true;
    if (isComposed(a) && isComposed(b)) return false;
    return decomposed(a) == decomposed(b);
}

const QString& BufferChecker::canonicalOf(const QString& text) const {
    for (const auto& [source, canonical] : canonical_) {
        if (source.constData() == text.constData() && source.size() == text.size()) {
            return canonical;
        }
    }
    // The slot keeps its source alive, so the buffer address stays its own.
    nextCanonical_ = (nextCanonical_ + 1) % canonical_.size();
    canonical_[nextCanonical_] = {text, decomposed(text)};
    return canonical_[nextCanonical_].second;
}

bool BufferChecker::sameCanonical(const QString& a, const QString& b) const {
    if (a == b) return true;
    if (isComposed(a) && isComposed(b)) return false;
    const QString& first = canonicalOf(a);
    // canonicalOf() may replace a slot: hold the first form while the second is made.
    const QString keep = first;
    return keep == canonicalOf(b);
}

void BufferChecker::pauseUpdates() {
    updateBuffer.mutate([](bool& allowed) { allowed = false; });
    // The polling thread may be waiting for a step queued to this very thread:
    // run it here, or both threads would wait for each other.
    while (!updatingBuffer.waitFor(false, std::chrono::milliseconds(1))) runPendingStep();
}

void BufferChecker::resumeUpdates() {
    updateBuffer.mutate([](bool& allowed) { allowed = true; });
    clipboardMayHaveChanged();
}

bool BufferChecker::writeEntryZeroToPasteboard() {
    const bool written = writeClipboard(bufferArray.isEmpty() ? nullptr : &bufferArray.front());
    if (!written) std::printf("failed edit pasteboard\n"), std::fflush(stdout);
    publish();
    return written;
}

void BufferChecker::clearPasteboard() {
    writeClipboard(nullptr);
}

bool BufferChecker::writeClipboard(const QString* text) {
    // A write replaces the contents in one step: cleared first, the clipboard
    // would be ownerless for a moment, and a paste then finds nothing.
    bool written = true;
    if (text) {
        written = pasteboard_.setString(*text);
    } else {
        pasteboard_.clearContents();
    }
    cachedTextValid_ = false;
    if (written && readsOffMainThread_) {
        // What this program wrote is known without asking anyone.
        cachedText_ = text ? std::optional<QString>(*text) : std::nullopt;
        cachedTextCount_ = pasteboard_.changeCount();
        cachedTextValid_ = true;
    }
    return written;
}

bool BufferChecker::knownClipboardText(std::optional<QString>& text) const {
    const std::uint64_t count = pasteboard_.changeCount();
    if (!cachedTextValid_ || count != cachedTextCount_) {
        if (readsOffMainThread_) {
            // The main thread never waits for another program: only the
            // polling thread's read of this very state is taken.
            std::lock_guard lock(readMutex_);
            if (!readAhead_ || readAhead_->count != count) return false;
            cachedText_ = readAhead_->text;
        } else {
            cachedText_ = pasteboard_.string();
        }
        cachedTextCount_ = count;
        cachedTextValid_ = true;
    }
    text = cachedText_;
    return true;
}

bool BufferChecker::differsFromEntryZero(const std::optional<QString>& text) const {
    return !bufferArray.isEmpty() && text && !sameCanonical(*text, bufferArray.front());
}

bool BufferChecker::plainPasteNeedsRewrite() const {
    std::optional<QString> text;
    if (readsOffMainThread_) {
        // A clipboard not read yet holds a fresh copy: the paste takes it as it is.
        return knownClipboardText(text) && differsFromEntryZero(text);
    }
    // Read afresh: the paste must not act on a change report still in flight.
    return differsFromEntryZero(pasteboard_.string());
}

void BufferChecker::publish() {
    // Every writer of the history publishes: the next pass must compare anew.
    wakePolling();
    publishedLength_.store(static_cast<int>(bufferArray.size()), std::memory_order_release);
    std::optional<QString> text;
    const bool needsRewrite = knownClipboardText(text) && differsFromEntryZero(text);
    publishedNeedsRewrite_.store(needsRewrite, std::memory_order_release);
}

bool BufferChecker::pasteItemAtIndex(int index) {
    awaitCurrentRead();
    pauseUpdates();
    // A copy made just before the hot key may not have been polled yet: take it
    // first, so it is neither lost nor shifts the wrong entry under the digit.
    if (clipboardMayDifferFromLastLook()) {
        updateBufferHistory();
    }
    if (index < 0 || index >= bufferArray.size()) {
        resumeUpdates();
        return false;
    }
    const QString pasted = bufferArray.at(index);
    const bool written = writeClipboard(&pasted);
    if (!written) std::printf("failed edit pasteboard\n"), std::fflush(stdout);
    pasteLeft_ = written ? std::optional<QString>(pasted) : std::nullopt;
    ++pendingResumes_;
    publish();
    mainThread_.postAfter(pollInterval_, [this, index] { resumeUpdatingAfterDelay(index); });
    return written;
}

bool BufferChecker::isOwnPaste(const std::optional<QString>& text) const {
    // Within the quarter second of a paste, the pasted entry on the clipboard
    // is ours, not a new copy: a second paste's catch-up must not add it.
    return pendingResumes_ > 0 && text && pasteLeft_ && *text == *pasteLeft_;
}

void BufferChecker::resumeUpdatingAfterDelay(int /*index*/) {
    // Of overlapping pastes only the latest one's resume acts: an earlier
    // resume would take the latest entry off the clipboard before the front
    // application has read it.
    if (--pendingResumes_ > 0) return;
    // Put entry 0 back only if the clipboard still holds what the paste left
    // there: a text the user copied meanwhile stays and is polled as usual.
    std::optional<QString> now;
    if (knownClipboardText(now) && now == pasteLeft_) {
        writeClipboard(bufferArray.isEmpty() ? nullptr : &bufferArray.front());
        publish();
    }
    resumeUpdates();
}

}  // namespace tarnwick
