// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "history/HistoryModel.h"
#include "ui/RowField.h"

class QScrollBar;

namespace tarnwick {

class ButtonOverlay;
class CopiedTextField;
class FieldEditor;
class IndexTextField;
class MyWindow;
class BufferChecker;

// The scroll view's document: a view of the history model. It keeps one row
// view (a copied-text field and an index field) per entry, in the model's
// order (stored bottom row first), follows the model's signals, and
// lays the window out once at the end of each change. Paints and hit-tests
// only what is asked for.
class DocumentView : public QWidget {
    Q_OBJECT
public:
    DocumentView(BufferChecker& engine, HistoryModel& history);
    ~DocumentView() override;

    // Attaches the view to its window and to the history it shows.
    void setWindow(MyWindow* window);
    // Stops following the history and drops every row view.
    void detach();
    HistoryModel& history() const { return history_; }

    // The row views by row number.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    CopiedTextField* copiedAt(int row) const { return rows_[slotOf(row)].copied.get(); }
    IndexTextField* indexAt(int row) const { return rows_[slotOf(row)].index.get(); }
    // Whether field belongs to a row still shown.
    bool holds(const RowField* field) const;
    CopiedTextField* copiedBeside(const IndexTextField* index) const;
    QStringList rowTexts() const;

    // The frame height in points; the widget follows it up to Qt's size limit.
    double frameHeight() const { return frameHeight_; }
    // The scroll view's bar moved: a document taller than a widget can be
    // moves the part of it that the widget shows.
    void followScroll(QScrollBar& bar);
    // Sets the height from the rows' heights and lays the window out.
    void relayout();
    // A row's height changed from before; no layout.
    void rowHeightChanged(const RowField* field, double before);
    // Places the rows whose frames changed since the last call, or every row
    // when widthBase (the copied fields' width plus their index width) did.
    void placeRows(double widthBase);
    // A typed row number that the next layout drops.
    void noteTypedNumber(IndexTextField* field);
    // Width of an index field fitted to digits zeros.
    double indexWidthForDigits(int digits) const;

    // The window's one field editor.
    FieldEditor* editor() const { return editor_; }
    RowField* editingField() const { return editingField_; }
    void beginEditing(RowField* field);
    void endEditing();
    void showButtonAboveEditor(bool show);
    // The editor shows the edited field's own background: a pinned row's
    // number stays orange while it is being typed into.
    void matchEditorBackground();

    // The row the keyboard is on (0 without rows); it follows clicks too.
    int currentRow() const { return std::clamp(currentRow_, rowCount() > 0 ? 1 : 0, rowCount()); }

    // Hit-testing and geometry in the widget's top-left coordinates.
    RowField* fieldAt(const QPoint& pos) const;
    QRect qtRect(const RowField* field) const;
    QRect expandButtonRect(const RowField* field) const;

    // The history model's steps, in row numbers.
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowMoved(int from, int to);
    void rowChanged(int row);
    void rowsReset();
    void rowsChangeEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(HistoryModel& history);
    friend class DocumentViewAccessible;
    friend class RowFieldAccessible;
    friend class RowField;
    struct RowView {
        std::unique_ptr<CopiedTextField> copied;
        std::unique_ptr<IndexTextField> index;
        RowView(std::unique_ptr<CopiedTextField> c, std::unique_ptr<IndexTextField> i);
        RowView(RowView&&) noexcept;
        RowView& operator=(RowView&&) noexcept;
        ~RowView();
    };

    // The window's answer to an inserted entry: the row view of row.
    void addTextField(int row);
    void fieldDestroyed(const RowField* field);
    void removeAllRows();
    std::size_t slotOf(int row) const { return rows_.size() - static_cast<std::size_t>(row); }
    // The fields at slots from on take their slots; their frames wait for the
    // next placement.
    void renumberFrom(std::size_t from);
    void placeRow(std::size_t slot, double bottom);
    std::pair<int, int> rowsIntersecting(double top, double bottom) const;
    void placeEditor();
    RowMouseEvent rowEvent(const QMouseEvent* event) const;
    RowMouseEvent rowEventAt(const RowField* field) const;
    void setCurrentRow(int row);

    HistoryModel& history_;
    MyWindow* window_ = nullptr;
    // Bottom row first: a new row 1 is appended and moves no other row.
    std::vector<RowView> rows_;
    double rowsHeight_ = 0;  // the copied fields' heights summed
    double frameHeight_;
    // Rows at and above this slot await placement; the width they get.
    std::size_t unplacedFrom_ = 0;
    double placedBase_ = -1;
    std::vector<IndexTextField*> typedNumbers_;
    // The document offset of the widget's top edge, and the most it shows.
    double shownTop_ = 0;
    static constexpr double shownSpan = 1 << 23;
    FieldEditor* editor_;
    ButtonOverlay* buttonOverlay_;
    RowField* editingField_ = nullptr;
    int currentRow_ = 1;
    RowField* hovered_ = nullptr;
    RowField* pressedButtonField_ = nullptr;
    mutable std::vector<double> indexWidths_;
    std::unordered_map<const RowField*, unsigned> accessibleIds_;
    std::unordered_map<const RowField*, unsigned> accessibleButtonIds_;
};

}  // namespace tarnwick
