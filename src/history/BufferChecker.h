// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "history/Atomic.h"
#include "history/CanonicalTexts.h"
#include "history/ClipboardReader.h"
#include "history/HistoryModel.h"
#include "platform/Pasteboard.h"

namespace tarnwick {

class MainThread;

// The history engine: the list of copied texts, newest first, and the polling
// thread that watches the clipboard. The clipboard and the list are touched on
// the main thread only; the polling thread hands each polling step over to the
// main thread and waits for it. It owns the history model.
class BufferChecker final : public HistorySync {
    HistoryModel history_{*this};  // first: bufferArray refers into it

public:
    BufferChecker(Pasteboard& pasteboard, MainThread& mainThread,
                  std::chrono::milliseconds pollInterval = std::chrono::milliseconds(250));
    ~BufferChecker();
    BufferChecker(const BufferChecker&) = delete;
    BufferChecker& operator=(const BufferChecker&) = delete;

    Atomic<bool> updatingBuffer{false};  // a polling pass is running
    Atomic<bool> updateBuffer{true};     // polling is allowed
    // The history's texts, index 0 = row 1; main thread only.
    const QStringList& bufferArray = history_.texts();
    QString lastAdded;                   // the last clipboard text the engine added
    Atomic<bool> mainThreadDone{false};  // handshake with the step run on the main thread

    HistoryModel& history() { return history_; }

    // Starts the polling thread running startBufferUpdating().
    void startPolling();
    // The polling loop; returns only when the engine is destroyed.
    void startBufferUpdating();

    // Puts entry index on the clipboard for a paste and restores entry 0 a
    // quarter second later (byHand: handPasteHold, KeyTap.h, later; copies made
    // meanwhile reach the history then). True when the paste chord now pastes entry index:
    // the entry was written, or (index 0) the clipboard's owner still serves a
    // copy being read, which becomes entry 0. False when there is no such
    // entry, the write failed, or a copy still being read makes every older
    // entry's index uncertain. Main thread.
    bool pasteItemAtIndex(int index, bool byHand = false);

    // The clipboard's plain text for a paste into a row (main thread): what
    // this program wrote or the polling thread read at the current change,
    // waiting for that read no longer than a read may take (about two
    // seconds). Another program is never read on the main thread.
    std::optional<QString> clipboardText();
    // Puts text on the clipboard as the user's own copy (the row editor's
    // Copy and Cut): polling then takes it like any other copy.
    bool copyToClipboard(const QString& text);

    // The pause-and-resume rule, for every main-thread writer of entry 0 or the
    // clipboard. pauseUpdates() runs the polling thread's pending step while it
    // waits, so the two threads never wait for each other.
    void pauseUpdates() override;
    void resumeUpdates() override;
    // Clears the clipboard and writes entry 0 (if any); prints
    // "failed edit pasteboard" when the write is refused. False on refusal.
    bool writeEntryZeroToPasteboard() override;
    void clearPasteboard() override;

    // A plain paste must first put entry 0 on the clipboard: the history is not
    // empty and the clipboard holds a plain text other than entry 0.
    bool plainPasteNeedsRewrite() const;

    // Called when the platform reports a clipboard change: lets the polling
    // thread look at it at once when the previous look is long enough ago.
    void clipboardMayHaveChanged();

    // Lock-free figures for threads that must decide without the main thread
    // (the X11 key filter). Refreshed by publish(), which every main-thread
    // writer of bufferArray calls after its change.
    int publishedLength() const { return publishedLength_.load(std::memory_order_acquire); }
    bool publishedPasteNeedsRewrite() const {
        return publishedNeedsRewrite_.load(std::memory_order_acquire);
    }
    void publish() override;
    // The platform reported a clipboard change that no polling look has
    // examined yet: a fresh copy may be about to become entry 0.
    bool publishedMayHaveUnpolledCopy() const {
        return unpolledChange_.load(std::memory_order_acquire);
    }

    Pasteboard& pasteboard() { return pasteboard_; }

private:
    void updateBufferHistory();
    void runPendingStep();
    void resumeUpdatingAfterDelay(int index);
    bool isOwnPaste(const std::optional<QString>& text) const;
    bool clipboardMayDifferFromLastLook(std::uint64_t changeCount) const;
    void readChange();
    std::uint64_t takeReads();
    void consider(const std::optional<QString>& text);
    void publishSnapshot();
    bool differsFromEntryZero(const std::optional<QString>& text) const;
    void wakePolling();
    void sleepUntilNextPass(std::chrono::steady_clock::time_point passStart);

    Pasteboard& pasteboard_;
    MainThread& mainThread_;
    const std::chrono::milliseconds pollInterval_;
    const bool reportsChanges_;

    std::atomic<bool> stepPending_{false};
    // Set by every clipboard change report, history change and resume; a pass
    // that finds it clear has nothing to look at.
    std::atomic<bool> mayHaveChanged_{true};
    std::atomic<bool> stopping_{false};
    std::thread pollingThread_;

    // What the last look at the clipboard saw, so an unchanged clipboard and
    // history are not read again. Main thread only; the copy of entry 0 keeps
    // its buffer alive, so its address identifies it.
    bool looked_ = false;
    std::uint64_t lookedChangeCount_ = 0;
    QString lookedEntryZero_;
    bool lookedEmpty_ = true;

    ClipboardReader reader_;  // reads on the polling thread, the rest on the main thread

    CanonicalTexts canonical_;  // main thread only

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool changeHint_ = false;

    std::atomic<int> publishedLength_{0};
    std::atomic<bool> publishedNeedsRewrite_{false};
    std::atomic<bool> unpolledChange_{false};

    // The clipboard as the latest paste by index left it (none when its write
    // failed) while a resume is pending. Main thread only.
    std::optional<QString> pasteLeft_;
    int pendingResumes_ = 0;
};

}  // namespace tarnwick
