#include "ui/IndexTextField.h"

#include <QMenu>
#include <QPainter>

#include "app/Globals.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/MyWindow.h"

namespace tarnwick {

UserInterface::IndexTextField::IndexTextField(MyWindow* window, DocumentView* documentView,
                                              long long rowNumber)
    : RowField(window, documentView), rowNumber_(rowNumber) {
    frame = {0, 0, 1.15 * tfHt, tfHt};
}

UserInterface::IndexTextField::~IndexTextField() {
    // The menu may be the one whose "Delete" removes this very row.
    if (myMenu) myMenu.release()->deleteLater();
}

QString UserInterface::IndexTextField::stringValue() const {
    return text_.isNull() ? QString::number(rowNumber_) : text_;
}

void UserInterface::IndexTextField::setStringValue(const QString& text) {
    text_ = text.isNull() ? QString(QLatin1String("")) : text;
}

void UserInterface::IndexTextField::setRowNumber(long long rowNumber) {
    rowNumber_ = rowNumber;
    if (!text_.isNull()) text_ = QString();
}

void UserInterface::IndexTextField::commitPendingIndexEdit() {
    if (IndexTextField* pending = myWindow->prevIndexTextFieldWithFocus) pending->updateOrder();
}

void UserInterface::IndexTextField::mouseDown(const RowMouseEvent&) {
    commitPendingIndexEdit();
    // A click makes the field the first responder before it sees the click.
    becomeFirstResponder();
    if (QPlainTextEdit* editor = currentEditor()) editor->selectAll();
    myWindow->prevIndexTextFieldWithFocus = this;
}

void UserInterface::IndexTextField::rightMouseDown(const RowMouseEvent& event) {
    commitPendingIndexEdit();
    if (!currentEditor()) becomeFirstResponder();
    myWindow->prevIndexTextFieldWithFocus = this;
    if (!myMenu) buildMenu();
    myMenu->hide();
    myMenu->popup(event.globalPos, myMenu->actions().value(0));
}

bool UserInterface::IndexTextField::insertNewline() {
    updateOrder();
    return true;
}

void UserInterface::IndexTextField::textDidChange() {
    if (QPlainTextEdit* editor = currentEditor()) setStringValue(editor->toPlainText());
}

void UserInterface::IndexTextField::paint(QPainter& painter) const {
    const QRect box = docView->qtRect(this);
    if (pinned) painter.fillRect(box, pinnedColor());
    painter.setPen(docView->palette().color(QPalette::Text));
    painter.drawText(box, Qt::AlignCenter, stringValue());
}

}  // namespace tarnwick
