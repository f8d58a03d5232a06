// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
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

// The pause-and-resume rule as a scope: polling is paused from here to the
// end of the scope, whatever way it is left.
class PausedUpdates {
public:
    explicit PausedUpdates(HistorySync& sync) : sync_(sync) { sync_.pauseUpdates(); }
    ~PausedUpdates() { sync_.resumeUpdates(); }
    PausedUpdates(const PausedUpdates&) = delete;
    PausedUpdates& operator=(const PausedUpdates&) = delete;

private:
    HistorySync& sync_;
};

// The history in row order, row 1 first, and the rules of how rows arrive,
// move, change and leave. Pinned rows keep their row numbers through every
// add, move and delete. Main thread only, except the cut note.
//
// As a Qt list model, model row r - 1 is row number r. Each rule reaches the
// views as the single-row steps it is made of (inserted, moved, removed,
// dataChanged, reset), so a view that applies them in order has the model's
// order; changeEnded() closes every operation, refused ones included.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        RowNumberRole = Qt::UserRole + 1,  // int, 1 for the top row
        PinnedRole,                        // bool
        FillerRole,                        // bool: the empty row a delete left under a pin
    };

    explicit HistoryModel(HistorySync& sync, QObject* parent = nullptr)
        : QAbstractListModel(parent), sync_(sync) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // EditRole edits the text, RowNumberRole commits a typed number, PinnedRole pins.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The texts, index 0 = row 1: the engine's bufferArray.
    const QStringList& texts() const { return texts_; }
    int count() const { return static_cast<int>(texts_.size()); }
    const QString& text(int row) const { return texts_[row - 1]; }
    bool pinned(int row) const { return (flags_[static_cast<std::size_t>(row - 1)] & pinBit) != 0; }
    bool filler(int row) const {
        return (flags_[static_cast<std::size_t>(row - 1)] & fillerBit) != 0;
    }

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

signals:
    void changeEnded();

private:
    static constexpr char pinBit = 1;
    static constexpr char fillerBit = 2;
    void insertAt(int row, const QString& text, char flags = 0);
    void move(int from, int to);
    void swapDown(int row);  // swaps row and row + 1
    void moveKeepingPins(int from, int to);
    void rewriteEntryZero();
    void ended();

    HistorySync& sync_;
    QStringList texts_;
    // One byte of flags per row, not std::vector<bool>: a new row 1 then
    // shifts the others with one memmove instead of bit by bit.
    std::vector<char> flags_;
    int pinnedCount_ = 0;
    std::atomic<bool> cutNoted_{false};
};

}  // namespace tarnwick
