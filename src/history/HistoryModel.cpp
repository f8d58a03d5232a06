// SPDX-License-Identifier: MIT
#include "history/HistoryModel.h"

#include <optional>

#include "history/RowNumber.h"

namespace tarnwick {

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row() + 1;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return text(row);
        case RowNumberRole:
            return row;
        case PinnedRole:
            return pinned(row);
        case FillerRole:
            return filler(row);
        default:
            return {};
    }
}

bool HistoryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const int row = index.row() + 1;
    switch (role) {
        case Qt::EditRole:
            edit(row, value.toString());
            return true;
        case RowNumberRole:
            return commitRowNumber(row, value.toString()) != Commit::rejected;
        case PinnedRole:
            setPinned(row, value.toBool());
            return true;
        default:
            return false;
    }
}

Qt::ItemFlags HistoryModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> HistoryModel::roleNames() const {
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(RowNumberRole, "rowNumber");
    names.insert(PinnedRole, "pinned");
    names.insert(FillerRole, "filler");
    return names;
}

void HistoryModel::insertAt(int row, const QString& text, char flags) {
    beginInsertRows({}, row - 1, row - 1);
    texts_.insert(row - 1, text);
    flags_.insert(flags_.begin() + (row - 1), flags);
    endInsertRows();
}

void HistoryModel::move(int from, int to) {
    if (from == to) return;
    // Qt names the place before which the row lands, counted before the move.
    beginMoveRows({}, from - 1, from - 1, {}, to > from ? to : to - 1);
    texts_.move(from - 1, to - 1);
    const char flags = flags_[static_cast<std::size_t>(from - 1)];
    flags_.erase(flags_.begin() + (from - 1));
    flags_.insert(flags_.begin() + (to - 1), flags);
    endMoveRows();
}

void HistoryModel::swapDown(int row) {
    move(row, row + 1);
}

void HistoryModel::ended() {
    emit changeEnded();
}

void HistoryModel::rewriteEntryZero() {
    const PausedUpdates paused(sync_);
    sync_.writeEntryZeroToPasteboard();
}

void HistoryModel::add(const QString& text) {
    insertAt(1, text);
    // Every older row went one number down. Top down, each pinned row swaps
    // back over the row now above it, so it regains its number while the
    // unpinned rows keep their order. The sweep stops at the last pinned row,
    // so that a new copy costs the same whatever the history's length.
    for (int row = 1, seen = 0; row < count() && seen < pinnedCount_; ++row) {
        if (!pinned(row + 1)) continue;
        ++seen;
        swapDown(row);
    }
    ended();
}

void HistoryModel::moveKeepingPins(int from, int to) {
    move(from, to);
    // The rows between the two places shifted one number towards from; each
    // pinned one swaps back into its own number. The order of the sweep
    // leaves every row not yet looked at where the shift put it.
    if (from < to) {
        for (int old = to; old > from; --old) {
            if (pinned(old - 1)) swapDown(old - 1);
        }
    } else {
        for (int old = to + 1; old < from; ++old) {
            if (pinned(old + 1)) swapDown(old);
        }
    }
}

HistoryModel::Commit HistoryModel::commitRowNumber(int row, const QString& typed) {
    Commit result = Commit::unchanged;
    const auto number = rows::parseRowNumber(typed);
    if (!number) {
        result = Commit::rejected;
    } else if (row >= 1 && row <= count()) {
        const int target = rows::clampRowNumber(*number, count());
        if (pinned(target)) {
            if (target != row) result = Commit::rejected;
        } else {
            moveKeepingPins(row, target);
            // The clipboard follows row 1 whenever it is a source or target.
            if (row == 1 || target == 1) rewriteEntryZero();
            sync_.publish();
            result = Commit::moved;
        }
    }
    // Also the end of a refused commit: the view puts the row number back.
    ended();
    return result;
}

void HistoryModel::setPinned(int row, bool pinned) {
    if (row < 1 || row > count()) return;
    if (this->pinned(row) != pinned) pinnedCount_ += pinned ? 1 : -1;
    char& flags = flags_[static_cast<std::size_t>(row - 1)];
    flags = static_cast<char>(pinned ? flags | pinBit : flags & ~pinBit);
    const QModelIndex changed = index(row - 1);
    emit dataChanged(changed, changed, {PinnedRole});
    ended();
}

void HistoryModel::edit(int row, const QString& text) {
    if (row < 1 || row > count()) return;
    // The key filter may note a cut from its own thread: decide once, so
    // that a pause is always followed by its resume.
    const bool followsClipboard = row == 1 && !cutNoted();
    std::optional<PausedUpdates> paused;
    if (followsClipboard) paused.emplace(sync_);
    texts_[row - 1] = text;
    char& flags = flags_[static_cast<std::size_t>(row - 1)];
    flags = static_cast<char>(flags & ~fillerBit);
    if (followsClipboard) {
        sync_.writeEntryZeroToPasteboard();
        paused.reset();  // resumed before the history is published
    }
    sync_.publish();
    cutNoted_.store(false, std::memory_order_release);
    const QModelIndex changed = index(row - 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, FillerRole});
    ended();
}

void HistoryModel::remove(int row) {
    const int n = count();
    if (row < 1 || row > n) return;
    // Decided before the removal: the bottom row keeps its number only if an
    // empty row takes the place the rows above it leave.
    const bool withFiller = n >= 2 && pinned(n) && row != n;
    beginRemoveRows({}, row - 1, row - 1);
    texts_.removeAt(row - 1);
    if (pinned(row)) --pinnedCount_;
    flags_.erase(flags_.begin() + (row - 1));
    endRemoveRows();
    if (withFiller) insertAt(n, QString(), fillerBit);
    // Every older row went one number up; bottom up, each pinned one swaps
    // back down over the row below it.
    for (int old = n; old > row; --old) {
        if (pinned(old - 1)) swapDown(old - 1);
    }
    if (texts_.isEmpty()) {
        sync_.clearPasteboard();
    } else {
        rewriteEntryZero();
    }
    sync_.publish();
    ended();
}

void HistoryModel::clear() {
    beginResetModel();
    texts_.clear();
    flags_.clear();
    pinnedCount_ = 0;
    sync_.clearPasteboard();
    sync_.publish();
    endResetModel();
    ended();
}

void HistoryModel::replaceAll(const QStringList& texts) {
    beginResetModel();
    texts_ = texts;
    flags_.assign(static_cast<std::size_t>(texts.size()), char{0});
    pinnedCount_ = 0;
    sync_.publish();
    endResetModel();
    ended();
}

}  // namespace tarnwick
