// SPDX-License-Identifier: MIT
#include "history/BufferChecker.h"

#include <cstdio>

#include "platform/KeyTap.h"
#include "platform/MainThread.h"
#include "platform/Pasteboard.h"

namespace tarnwick {

namespace {

// How long the main thread waits for the read of a change: as long as one may
// take (a quarter second before it starts, a second for each of its two
// requests), so a slow owner's copy is used, not an older entry.
constexpr std::chrono::milliseconds readLimit{2300};

}  // namespace

BufferChecker::BufferChecker(Pasteboard& pasteboard, MainThread& mainThread,
                             std::chrono::milliseconds pollInterval)
    : pasteboard_(pasteboard),
      mainThread_(mainThread),
      pollInterval_(pollInterval),
      reportsChanges_(pasteboard.reportsChanges()),
      reader_(pasteboard, pollInterval) {
    pasteboard_.setChangeListener([this] { clipboardMayHaveChanged(); });
}

BufferChecker::~BufferChecker() {
    stopping_ = true;
    {
        std::lock_guard lock(wakeMutex_);
        changeHint_ = true;
    }
    wake_.notify_all();
    reader_.stop();
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
        // A read that waits for another program happens here, before the pass
        // announces itself: a pausing main thread never waits for it, and a
        // hot key right after a copy finds the text read.
        if (look && reader_.offMainThread()) readChange();
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

void BufferChecker::readChange() {
    // Changed again during the read: the next pass reads that change.
    if (reader_.readChange()) wakePolling();
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

bool BufferChecker::clipboardMayDifferFromLastLook(std::uint64_t changeCount) const {
    if (!looked_ || changeCount != lookedChangeCount_) return true;
    if (bufferArray.isEmpty() != lookedEmpty_) return true;
    if (bufferArray.isEmpty()) return false;
    const QString& entryZero = bufferArray.front();
    return entryZero.constData() != lookedEntryZero_.constData() ||
           entryZero.size() != lookedEntryZero_.size();
}

std::uint64_t BufferChecker::takeReads() {
    return reader_.takeReads([this](const std::optional<QString>& text) {
        if (!isOwnPaste(text)) consider(text);
    });
}

void BufferChecker::consider(const std::optional<QString>& text) {
    if (text && (bufferArray.isEmpty() || (!canonical_.sameKept(*text, bufferArray.front()) &&
                                           !canonical_.sameKept(*text, lastAdded)))) {
        history_.add(*text);
        lastAdded = *text;
    }
}

void BufferChecker::updateBufferHistory() {
    // The look is at the change whose read was just taken: a change reported
    // meanwhile (an owner that leaves once it has served its copy) must not
    // make that copy's text, no longer queued anywhere, go unseen.
    const std::uint64_t now =
        reader_.offMainThread() ? takeReads() : pasteboard_.changeCount();
    if (!clipboardMayDifferFromLastLook(now)) {
        publishSnapshot();
        return;
    }
    std::optional<QString> text;
    // Not read yet: the read under way brings it with the next step.
    if (!reader_.knownTextAt(now, text)) {
        publishSnapshot();
        return;
    }
    looked_ = true;
    lookedChangeCount_ = now;
    unpolledChange_.store(false, std::memory_order_release);
    // Cleared after the count moved: that later change is still unlooked at.
    if (pasteboard_.changeCount() != now) unpolledChange_.store(true, std::memory_order_release);
    if (!isOwnPaste(text)) consider(text);
    lookedEmpty_ = bufferArray.isEmpty();
    lookedEntryZero_ = lookedEmpty_ ? QString() : bufferArray.front();
    publishSnapshot();
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
    const bool written = reader_.write(bufferArray.isEmpty() ? nullptr : &bufferArray.front());
    if (!written) std::printf("failed edit pasteboard\n"), std::fflush(stdout);
    publish();
    return written;
}

void BufferChecker::clearPasteboard() {
    reader_.write(nullptr);
}

bool BufferChecker::differsFromEntryZero(const std::optional<QString>& text) const {
    return !bufferArray.isEmpty() && text && !canonical_.sameKept(*text, bufferArray.front());
}

bool BufferChecker::plainPasteNeedsRewrite() const {
    std::optional<QString> text;
    if (reader_.offMainThread()) {
        // A clipboard not read yet holds a fresh copy: the paste takes it as it is.
        return reader_.knownText(text) && differsFromEntryZero(text);
    }
    // Read afresh: the paste must not act on a change report still in flight.
    return differsFromEntryZero(pasteboard_.string());
}

void BufferChecker::publish() {
    // Every writer of the history publishes: the next pass must compare anew.
    wakePolling();
    publishSnapshot();
}

void BufferChecker::publishSnapshot() {
    publishedLength_.store(static_cast<int>(bufferArray.size()), std::memory_order_release);
    std::optional<QString> text;
    const bool needsRewrite = reader_.knownText(text) && differsFromEntryZero(text);
    publishedNeedsRewrite_.store(needsRewrite, std::memory_order_release);
}

bool BufferChecker::pasteItemAtIndex(int index, bool byHand) {
    // A copy made just before the hot key may not have reached the history
    // yet: take it first, so it is neither lost nor shifts the wrong entry
    // under the digit.
    const bool read = reader_.awaitCurrentRead(readLimit, [this] { runPendingStep(); });
    pauseUpdates();
    updateBufferHistory();
    if (!read && index >= 0) {
        // Still being read: its owner serves it, and it becomes entry 0. Which
        // older entry a digit means is known only once it is read.
        resumeUpdates();
        return index == 0;
    }
    if (index < 0 || index >= bufferArray.size()) {
        resumeUpdates();
        return false;
    }
    const QString pasted = bufferArray.at(index);
    const bool written = reader_.write(&pasted);
    if (!written) std::printf("failed edit pasteboard\n"), std::fflush(stdout);
    pasteLeft_ = written ? std::optional<QString>(pasted) : std::nullopt;
    ++pendingResumes_;
    publish();
    mainThread_.postAfter(byHand ? std::max(handPasteHold, pollInterval_) : pollInterval_,
                          [this, index] { resumeUpdatingAfterDelay(index); });
    return written;
}

std::optional<QString> BufferChecker::clipboardText() {
    reader_.awaitCurrentRead(readLimit, [this] { runPendingStep(); });
    std::optional<QString> text;
    if (!reader_.knownText(text)) return std::nullopt;
    return text;
}

bool BufferChecker::copyToClipboard(const QString& text) {
    const bool written = reader_.copy(text);
    publish();
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
    if (reader_.knownText(now) && now == pasteLeft_) {
        reader_.write(bufferArray.isEmpty() ? nullptr : &bufferArray.front());
        publish();
    }
    resumeUpdates();
}

}  // namespace tarnwick
