// SPDX-License-Identifier: MIT
#include "ui/IndexTextField.h"

#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>

#include "history/HistoryModel.h"
#include "history/RowNumber.h"
#include "platform/Alert.h"
#include "ui/Contrast.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/Metrics.h"
#include "ui/MyWindow.h"

namespace tarnwick {

IndexTextField::IndexTextField(MyWindow* window, DocumentView* documentView)
    : RowField(window, documentView) {
    frame = {0, 0, 1.15 * tfHt, tfHt};
}

IndexTextField::~IndexTextField() {
    // The menu may be the one whose "Delete" removes this very row.
    if (myMenu) myMenu.release()->deleteLater();
}

QString IndexTextField::stringValue() const {
    return typed_.isNull() ? QString::number(row()) : typed_;
}

void IndexTextField::setStringValue(const QString& text) {
    typed_ = text.isNull() ? QString(QLatin1String("")) : text;
    docView->noteTypedNumber(this);
}

bool IndexTextField::pinned() const {
    return docView->history().pinned(row());
}

QString IndexTextField::accessibleName() const {
    return QStringLiteral("Row %1 number").arg(row());
}

QColor IndexTextField::editorBackground(const QPalette& base) const {
    return pinned() ? pinnedColor() : RowField::editorBackground(base);
}

void IndexTextField::layoutDidRun(QPlainTextEdit& editor) {
    // The layout rewrites row numbers; the editor shows the new one.
    const QString number = stringValue();
    if (editor.toPlainText() == number) return;
    const QSignalBlocker quiet(&editor);
    editor.setPlainText(number);
    editor.selectAll();
}

void IndexTextField::commitPendingIndexEdit() {
    if (IndexTextField* pending = myWindow->prevIndexTextFieldWithFocus) pending->updateOrder();
}

void IndexTextField::mouseDown(const RowMouseEvent&) {
    commitPendingIndexEdit();
    // A click makes the field the first responder before it sees the click.
    becomeFirstResponder();
    if (QPlainTextEdit* editor = currentEditor()) editor->selectAll();
    myWindow->prevIndexTextFieldWithFocus = this;
}

void IndexTextField::rightMouseDown(const RowMouseEvent& event) {
    commitPendingIndexEdit();
    if (!currentEditor()) becomeFirstResponder();
    myWindow->prevIndexTextFieldWithFocus = this;
    if (!myMenu) buildMenu();
    myMenu->hide();
    myMenu->popup(event.globalPos, myMenu->actions().value(0));
}

bool IndexTextField::insertNewline() {
    updateOrder();
    return true;
}

void IndexTextField::textDidChange() {
    if (QPlainTextEdit* editor = currentEditor()) setStringValue(editor->toPlainText());
}

void IndexTextField::paint(QPainter& painter) const {
    const QRect box = docView->qtRect(this);
    if (pinned()) painter.fillRect(box, pinnedColor());
    painter.setPen(pinned() ? contrast::textOn(pinnedColor())
                            : docView->palette().color(QPalette::Text));
    painter.drawText(box.adjusted(0, textInset, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     stringValue());
}

void IndexTextField::updateOrder() {
    if (!docView->holds(this)) return;  // a field that has left the rows commits nothing
    // Once committed the field shows its row number again, also when the
    // input was refused; the history lays the window out at the end.
    const QString typed = stringValue();
    dropTypedNumber();
    if (docView->history().commitRowNumber(row(), typed) == HistoryModel::Commit::rejected) {
        myWindow->services().alert.beep();
    }
}

void IndexTextField::togglePinned() {
    const QString from = pinned() ? QStringLiteral("Unpin") : QStringLiteral("Pin");
    const QString to = pinned() ? QStringLiteral("Pin") : QStringLiteral("Unpin");
    if (myMenu) {
        for (QAction* action : myMenu->actions()) {
            if (action->text() == from) action->setText(to);
        }
    }
    docView->history().setPinned(row(), !pinned());
}

void IndexTextField::buildMenu() {
    myMenu = std::make_unique<QMenu>();
    myMenu->setTitle(QStringLiteral("IndexTFMenu"));
    // The two fields of a row move together, so the copied field found now
    // stays this row's for the menu's whole life.
    CopiedTextField* copied = docView->copiedBeside(this);
    QObject::connect(myMenu->addAction(QStringLiteral("Delete")), &QAction::triggered,
                     [copied] { copied->deleteRow(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Delete All")), &QAction::triggered,
                     [copied] { copied->deleteAll(); });
    if (rows::offersPinItem(stringValue())) {
        myMenu->addSeparator();
        QObject::connect(
            myMenu->addAction(pinned() ? QStringLiteral("Unpin") : QStringLiteral("Pin")),
            &QAction::triggered, [this] { togglePinned(); });
    }
}

}  // namespace tarnwick
