#include "history/BufferChecker.h"

#include <cstdio>

#include "platform/MainThread.h"
#include "platform/Pasteboard.h"

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
      reportsChanges_(pasteboard.reportsChanges()) {
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
        // Announce the pass before looking at the permission: a pausing thread
        // that then sees updatingBuffer false knows no pass can still look.
        updatingBuffer.mutate([](bool& busy) { busy = true; });
        // Only a pass that may find something hands a step to the main thread,
        // so an idle program does not wake its main thread four times a second.
        if (updateBuffer.value() && (mayHaveChanged_.exchange(false) || !reportsChanges_)) {
            mainThreadDone.mutate([](bool& done) { done = false; });
            stepPending_ = true;
            mainThread_.post([this] { runPendingStep(); });
            mainThreadDone.waitFor(true);
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
        hinted = true;
    }
    if (!hinted || stopping_) return;
    changeHint_ = false;
    // A report wakes the next pass at once, but never closer than one
    // interval to the previous look at the clipboard.
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

void BufferChecker::updateBufferHistory() {
    if (!clipboardMayDifferFromLastLook()) return;
    looked_ = true;
    lookedChangeCount_ = pasteboard_.changeCount();
    lastLookNs_ = nowNs();
    // Cleared before the read, so a change reported after it is not forgotten.
    unpolledChange_.store(false, std::memory_order_release);

    const std::optional<QString> text = clipboardText();
    if (text && !isOwnPaste(text) &&
        (bufferArray.isEmpty() ||
         (!sameText(*text, bufferArray.front()) && !sameText(*text, lastAdded)))) {
        history_.add(*text);
        lastAdded = *text;
    }
    lookedEmpty_ = bufferArray.isEmpty();
    lookedEntryZero_ = lookedEmpty_ ? QString() : bufferArray.front();
    publish();
}

bool BufferChecker::sameText(const QString& a, const QString& b) {
    if (a == b) return true;
    return a.normalized(QString::NormalizationForm_D) == b.normalized(QString::NormalizationForm_D);
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
    pasteboard_.clearContents();
    bool written = true;
    if (!bufferArray.isEmpty()) {
        written = pasteboard_.setString(bufferArray.front());
        if (!written) std::printf("failed edit pasteboard\n"), std::fflush(stdout);
    }
    publish();
    return written;
}

void BufferChecker::clearPasteboard() {
    pasteboard_.clearContents();
}

const std::optional<QString>& BufferChecker::clipboardText() const {
    const std::uint64_t count = pasteboard_.changeCount();
    if (!cachedTextValid_ || count != cachedTextCount_) {
        cachedText_ = pasteboard_.string();
        cachedTextCount_ = count;
        cachedTextValid_ = true;
    }
    return cachedText_;
}

bool BufferChecker::differsFromEntryZero(const std::optional<QString>& text) const {
    return !bufferArray.isEmpty() && text && !sameText(*text, bufferArray.front());
}

bool BufferChecker::plainPasteNeedsRewrite() const {
    // Read afresh: the paste must not act on a change report still in flight.
    return differsFromEntryZero(pasteboard_.string());
}

void BufferChecker::publish() {
    // Every writer of the history publishes: the next pass must compare anew.
    wakePolling();
    publishedLength_.store(static_cast<int>(bufferArray.size()), std::memory_order_release);
    publishedNeedsRewrite_.store(differsFromEntryZero(clipboardText()), std::memory_order_release);
}

bool BufferChecker::pasteItemAtIndex(int index) {
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
    pasteboard_.clearContents();
    const bool written = pasteboard_.setString(pasted);
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
    if (clipboardText() == pasteLeft_) {
        pasteboard_.clearContents();
        if (!bufferArray.isEmpty()) pasteboard_.setString(bufferArray.front());
        publish();
    }
    resumeUpdates();
}

}  // namespace tarnwick
