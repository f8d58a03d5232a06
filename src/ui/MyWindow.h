// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <vector>

#include "platform/KeyEvent.h"
#include "ui/UserInterface.h"

namespace tarnwick {

class HistoryView;

// The settings and history window. Views are placed by windowDidResize alone.
class MyWindow : public QWidget {
public:
    using Services = UserInterface::Services;
    MyWindow(Services services, HistoryView* view);

    // Clicks that no view inside the window took: commit the pending index
    // edit and end editing.
    void mouseDown();
    void rightMouseDown();
    // Places every view and row; also run directly after rows change.
    void windowDidResize();
    // Command-role editing keys for the field being edited; true when handled.
    bool performKeyEquivalent(const KeyEvent& event);

    // Commits the pending row number and ends editing.
    void endRowEditing();
    // Ends editing: no view keeps the keyboard focus.
    void makeFirstResponderNil();

    // The content view's subviews in their fixed order (empty until help).
    std::vector<QWidget*> contentSubviews;

    const Services& services() const { return services_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Services services_;
    HistoryView* view_;
};

// Translates a key press of the field editor into the key vocabulary of the
// filter; none when it is not a command-role chord.
bool toKeyEquivalent(int qtKey, Qt::KeyboardModifiers modifiers, KeyEvent& out);

}  // namespace tarnwick
