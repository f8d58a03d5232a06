// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

namespace tarnwick {

// What the history model needs from the engine around a change of entry 0:
// the clipboard follows entry 0, and the polling thread must not take that
// write for a new copy.
class HistorySync {
public:
    virtual ~HistorySync() = default;
    virtual void pauseUpdates() = 0;
    virtual void resumeUpdates() = 0;
    virtual bool writeEntryZeroToPasteboard() = 0;
    virtual void clearPasteboard() = 0;
    // The history changed: refresh what other threads read.
    virtual void publish() = 0;
};

// Told of every change, in row numbers (row 1 = the newest place). A
// listener that mirrors the rows applies the calls in order and gets the
// model's order; rowsChangeEnded() closes each operation.
class HistoryListener {
public:
    virtual ~HistoryListener() = default;
    virtual void rowInserted(int row) = 0;
    virtual void rowRemoved(int row) = 0;
    // The entry at from is taken out and put back in at to.
    virtual void rowMoved(int from, int to) = 0;
    // Its text or its pin changed.
    virtual void rowChanged(int row) = 0;
    virtual void rowsReset() = 0;
    virtual void rowsChangeEnded() = 0;
};

// The history in row order, row 1 first, and the rules of how rows arrive,
// move, change and leave. Pinned rows keep their row numbers through every
// add, move and delete. Main thread only, except the cut note.
class HistoryModel {
public:
    explicit HistoryModel(HistorySync& sync) : sync_(sync) {}

    void setListener(HistoryListener* listener) { listener_ = listener; }

    // The texts, index 0 = row 1: the engine's bufferArray.
    const QStringList& texts() const { return texts_; }
    int count() const { return static_cast<int>(texts_.size()); }
    const QString& text(int row) const { return texts_[row - 1]; }
    bool pinned(int row) const { return pinned_[static_cast<std::size_t>(row - 1)] != 0; }

    // A new copy takes row 1; pinned rows get their numbers back.
    void add(const QString& text);

    // What committing a typed row number did. rejected: not a number, or a
    // pinned row given another row's place (the caller beeps). unchanged: a
    // pinned row given its own number, or a row that has left the list.
    enum class Commit { rejected, unchanged, moved };
    Commit commitRowNumber(int row, const QString& typed);

    void setPinned(int row, bool pinned);

    // An edit of the row's text. Entry 0 is written to the clipboard too,
    // unless the edit follows a cut (which must not put the text back).
    void edit(int row, const QString& text);

    // Deletes the row. Pinned rows below keep their numbers; when the bottom
    // row is pinned and is not the one deleted, an empty filler row takes the
    // last free number and the count stays.
    void remove(int row);
    void clear();
    // Replaces every entry, none pinned (start-up, tests).
    void replaceAll(const QStringList& texts);

    // Set by the key filter on command + X, from any thread; cleared by the
    // next edit.
    void noteCut() { cutNoted_.store(true, std::memory_order_release); }
    bool cutNoted() const { return cutNoted_.load(std::memory_order_acquire); }

private:
    void insertAt(int row, const QString& text);
    void move(int from, int to);
    void swapDown(int row);  // swaps row and row + 1
    void moveKeepingPins(int from, int to);
    void rewriteEntryZero();
    void ended();

    HistorySync& sync_;
    HistoryListener* listener_ = nullptr;
    QStringList texts_;
    // One byte per row, not std::vector<bool>: a new row 1 then shifts the
    // others with one memmove instead of bit by bit.
    std::vector<char> pinned_;
    int pinnedCount_ = 0;
    std::atomic<bool> cutNoted_{false};
};

}  // namespace tarnwick
