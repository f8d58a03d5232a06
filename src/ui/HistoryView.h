// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <vector>

#include "history/HistoryModel.h"
#include "ui/FieldEditor.h"

class QMenu;

namespace tarnwick {

class BufferChecker;
class MyWindow;
class RowDelegate;

// The history rows, each row's number and text drawn by the delegate, one
// band high unless expanded. An item view of its own: a QTableView keeps a
// row's height in 20 bits, too few for an expanded row of a million lines;
// here row positions come from the band height and the few expanded rows.
// Rows are numbered from 1 (model row + 1). At most one editor is open, on a
// row's text or its number. A typed row number stays pending after Return
// until the next click, Tab or Escape, which commit it (or, for Escape, drop
// it).
class HistoryView : public QAbstractItemView {
    Q_OBJECT
public:
    enum class Part { none, number, text, button };

    HistoryView(BufferChecker& engine, HistoryModel& history);
    ~HistoryView() override;

    void setWindow(MyWindow* window) { window_ = window; }
    HistoryModel& history() const { return history_; }
    BufferChecker& engine() const { return engine_; }
    int rowCount() const { return history_.count(); }

    // Geometry in the viewport's coordinates.
    QRect rowRect(int row) const;
    QRect numberRect(int row) const;
    QRect textRect(int row) const;
    QRect buttonRect(int row) const;  // empty without a button
    Part partAt(const QPoint& pos, int* row) const;
    // The row at a height of the viewport, 0 when none.
    int rowAtY(int y) const;
    // Width of a number field fitted to digits zeros.
    int numberWidth(int digits) const;
    // The rows' height plus the gaps above and below them.
    int documentHeight() const;

    bool hasButton(int row) const;
    bool isExpanded(int row) const;  // shown expanded: it has a button and is open
    void toggleExpanded(int row);
    // The highlighted button (the mouse is down on it), 0 when none.
    int pressedButtonRow() const { return pressedButton_.row() + 1; }

    // The open editor, the row it edits (0 when none) and which part.
    FieldEditor* editor() const { return editor_; }
    int editingRow() const { return editor_ ? editing_.row() + 1 : 0; }
    Part editingPart() const { return editor_ ? editingPart_ : Part::none; }
    void editText(int row);
    void editNumber(int row);
    void endEditing();

    // The row whose typed number the next click commits, 0 when none.
    int pendingRow() const { return pending_.row() + 1; }
    void commitPending();
    // Return in the number editor: its number is committed, the editor stays.
    void commitEditedNumber();
    // Escape: the typed number is taken back and the editor closes.
    void dropPending();

    // The rows' menus, built on first use and kept by the row.
    QMenu* textMenu(int row, bool build = false);
    QMenu* numberMenu(int row, bool build = false);
    void showMenu(int row, Part part, const QPoint& global);

    // The row the keyboard is on (0 without rows); a click moves it too. A
    // row number, not an item: a new copy leaves it on row 1.
    int current() const { return std::clamp(currentRow_, rowCount() > 0 ? 1 : 0, rowCount()); }
    void setCurrent(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

    // The item view's geometry.
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    QModelIndex moveCursor(CursorAction, Qt::KeyboardModifiers) override { return currentIndex(); }
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect&, QItemSelectionModel::SelectionFlags) override {}
    QRegion visualRegionForSelection(const QItemSelection&) const override { return {}; }
    // Qt's current item is not used: it would close the editor of the row it
    // left.
    void currentChanged(const QModelIndex&, const QModelIndex&) override {}

private:
    friend class RowDelegate;
    struct RowState {
        QPersistentModelIndex index;
        bool expanded = false;
        int extra = 0;  // the height an expanded row has beyond one band
        std::unique_ptr<QMenu> textMenu, numberMenu;
        ~RowState();
    };
    RowState* state(int row, bool make);
    QModelIndex at(int row) const { return history_.index(row - 1, 0); }
    void open(int row, Part part);
    void commit(const QPersistentModelIndex& row);
    void changeEnded();
    void fitHeights();
    // The expanded rows, top first, with their extra heights.
    std::vector<std::pair<int, int>> tallRows() const;
    int rowTop(int row) const;  // from the first row's top
    int rowsHeight() const;
    void placeOverlay();
    void refreshNumberEditor();
    void press(int row, Part part, const QMouseEvent* event);
    QMenu* buildTextMenu(const QPersistentModelIndex& row);
    QMenu* buildNumberMenu(const QPersistentModelIndex& row);
    void deleteRow(const QPersistentModelIndex& row);
    void deleteAll();

    BufferChecker& engine_;
    HistoryModel& history_;
    MyWindow* window_ = nullptr;
    RowDelegate* delegate_;
    QWidget* overlay_;  // the expand button above a text editor
    QPointer<FieldEditor> editor_;
    QPersistentModelIndex editing_, pending_, pressedButton_;
    Part editingPart_ = Part::none;
    int currentRow_ = 1;
    static constexpr int band = 21;  // one collapsed row (tfHt)
    bool numberTyped_ = false;       // the number editor's text was typed
    std::vector<std::unique_ptr<RowState>> states_;
    mutable std::vector<int> numberWidths_;
};

}  // namespace tarnwick
