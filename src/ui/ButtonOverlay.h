#pragma once

#include <QWidget>

#include "ui/UserInterface.h"

namespace tarnwick {

class DocumentView;

// Draws a row's expand button above the field editor while that row is edited,
// and passes clicks on it to the document view.
class ButtonOverlay : public QWidget {
public:
    explicit ButtonOverlay(DocumentView* parent);

    UserInterface::CopiedTextField* field = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void forward(QMouseEvent* event);

    DocumentView* document_;
};

}  // namespace tarnwick
