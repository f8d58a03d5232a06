#pragma once

#include <QWidget>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/RowField.h"
#include "ui/RowOrder.h"
#include "ui/UserInterface.h"

namespace tarnwick {

class FieldEditor;
class Pasteboard;
class ButtonOverlay;

// The scroll view's document: the history rows. Its ordered subview list holds
// the rows' fields in pairs (copied field, then index field), slot 0 first;
// that list is the row order. Paints and hit-tests only what is asked for.
class DocumentView : public QWidget {
    Q_OBJECT
public:
    explicit DocumentView(Pasteboard& pasteboard);
    ~DocumentView() override;

    void setWindow(UserInterface::MyWindow* window) { window_ = window; }
    // Makes the two fields of a new row, configured as rows are at creation.
    std::pair<std::unique_ptr<UserInterface::CopiedTextField>,
              std::unique_ptr<UserInterface::IndexTextField>>
    makeRow(const QString& text);

    // The subview list.
    int count() const { return static_cast<int>(subviews_.size()); }
    RowField* at(int position) const { return subviews_[position].get(); }
    int positionOf(const RowField* field) const;  // -1 when not a subview
    void addSubview(std::unique_ptr<RowField> field);
    // Inserts in front of the current first subview.
    void addSubviewAtFront(std::unique_ptr<RowField> field);
    // Rearranges the rows: new slot s takes the row of old slot order[s];
    // rows::filler makes a new empty row; rows not named are removed.
    void applySlotOrder(const rows::SlotOrder& order);
    void removeAllSubviews();
    std::vector<bool> pinnedBySlot() const;
    // The copied texts from row 1 down.
    QStringList rowTexts() const;

    // The frame height in points; the widget follows it.
    double frameHeight() const { return frameHeight_; }
    void setFrameHeight(double height);
    // Places every row, top row first.
    void placeRows(layout::RowStacker& stacker);
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

    // Hit-testing and geometry in the widget's top-left coordinates.
    RowField* fieldAt(const QPoint& pos) const;
    QRect qtRect(const RowField* field) const;
    QRect expandButtonRect(const UserInterface::CopiedTextField* field) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DocumentViewAccessible;
    friend class RowField;
    void fieldDestroyed(const RowField* field);
    std::pair<int, int> slotsIntersecting(double top, double bottom) const;
    void placeEditor();
    void syncEditorText();
    RowMouseEvent rowEvent(const QMouseEvent* event) const;

    UserInterface::MyWindow* window_ = nullptr;
    std::vector<std::unique_ptr<RowField>> subviews_;
    double frameHeight_;
    FieldEditor* editor_;
    ButtonOverlay* buttonOverlay_;
    RowField* editingField_ = nullptr;
    RowField* hovered_ = nullptr;
    UserInterface::CopiedTextField* pressedButtonField_ = nullptr;
    mutable std::vector<double> indexWidths_;
    std::unordered_map<const RowField*, unsigned> accessibleIds_;
};

}  // namespace tarnwick
