// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace tarnwick {

class DocumentView;
class RowField;

// Draws a row's expand button above the field editor while that row is edited,
// and passes clicks on it to the document view.
class ButtonOverlay : public QWidget {
public:
    explicit ButtonOverlay(DocumentView* parent);

    RowField* field = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void forward(QMouseEvent* event);

    DocumentView* document_;
};

}  // namespace tarnwick
