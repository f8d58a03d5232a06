// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

namespace tarnwick {

class HistoryView;

// Draws a history row as its number field and its text field, and makes the
// view's editors: the field editor over the text or over the number. Edits
// reach the history as they are typed (the text) or when the view commits
// them (the number), never through setModelData.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(HistoryView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The background of a pinned row's number.
    static QColor pinnedColor() { return QColor::fromRgbF(1.0f, 0.5f, 0.0f); }

protected:
    // The view handles the editor's keys and focus itself.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    void paintText(QPainter& painter, const QRect& box, int row) const;

    HistoryView* view_;
};

}  // namespace tarnwick
