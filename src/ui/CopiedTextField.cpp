#include "ui/CopiedTextField.h"

#include <QMenu>

#include "app/Globals.h"
#include "history/BufferChecker.h"
#include "platform/KeyEvent.h"
#include "platform/KeySender.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/MyExpandButton.h"
#include "ui/MyWindow.h"
#include "ui/RowModel.h"

namespace tarnwick {

UserInterface::CopiedTextField::CopiedTextField(MyWindow* window, DocumentView* documentView,
                                                const QString& text)
    : RowField(window, documentView) {
    text_ = text;
    frame = {0, 0, 0, tfHt};
}

UserInterface::CopiedTextField::~CopiedTextField() {
    // The menu may be the one whose "Delete" removes this very row.
    if (myMenu) myMenu.release()->deleteLater();
}

void UserInterface::CopiedTextField::setStringValue(const QString& text) {
    text_ = text;
    elidedWidth_ = -1;
}

void UserInterface::CopiedTextField::commitPendingIndexEdit() {
    if (IndexTextField* pending = myWindow->prevIndexTextFieldWithFocus) pending->updateOrder();
    myWindow->prevIndexTextFieldWithFocus = nullptr;
}

void UserInterface::CopiedTextField::mouseDown(const RowMouseEvent&) {
    commitPendingIndexEdit();
    becomeFirstResponder();
    if (QPlainTextEdit* editor = currentEditor()) editor->selectAll();
    if (expandButton) bringSubviewToFront(expandButton.get());
}

void UserInterface::CopiedTextField::rightMouseDown(const RowMouseEvent& event) {
    commitPendingIndexEdit();
    if (!currentEditor()) {
        becomeFirstResponder();
        if (expandButton) bringSubviewToFront(expandButton.get());
    }
    if (!myMenu) buildMenu();
    myMenu->hide();
    myMenu->popup(event.globalPos, myMenu->actions().value(0));
}

void UserInterface::CopiedTextField::buildMenu() {
    myMenu = std::make_unique<QMenu>();
    myMenu->setTitle(QStringLiteral("CopiedTFMenu"));
    QObject::connect(myMenu->addAction(QStringLiteral("Cut")), &QAction::triggered,
                     [this] { cut(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Copy")), &QAction::triggered,
                     [this] { cpy(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Paste")), &QAction::triggered,
                     [this] { paste(); });
    myMenu->addSeparator();
    QObject::connect(myMenu->addAction(QStringLiteral("Delete")), &QAction::triggered,
                     [this] { deleteRow(); });
    QObject::connect(myMenu->addAction(QStringLiteral("Delete All")), &QAction::triggered,
                     [this] { deleteAll(); });
}

// The strokes pass the key filter like typed ones, so a Cut also marks
// cutActionJustMade there.
void UserInterface::CopiedTextField::cut() {
    myWindow->services().keySender.postCommandKey(keycode::X);
}
void UserInterface::CopiedTextField::cpy() {
    myWindow->services().keySender.postCommandKey(keycode::C);
}
void UserInterface::CopiedTextField::paste() {
    myWindow->services().keySender.postCommandKey(keycode::V);
}

bool UserInterface::CopiedTextField::insertNewline() {
    // Return adds a line to the entry instead of ending the edit.
    if (QPlainTextEdit* editor = currentEditor()) editor->insertPlainText(QStringLiteral("\n"));
    return true;
}

void UserInterface::CopiedTextField::mouseMoved(const RowMouseEvent& event) {
    const bool overButton = expandButton && docView->expandButtonRect(this).contains(event.pos);
    docView->setCursor(overButton ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void UserInterface::CopiedTextField::mouseExited() {
    docView->setCursor(Qt::ArrowCursor);
}

void UserInterface::CopiedTextField::bringSubviewToFront(MyExpandButton* button) {
    if (button == expandButton.get()) docView->showButtonAboveEditor(true);
}

void UserInterface::CopiedTextField::textDidChange() {
    if (QPlainTextEdit* editor = currentEditor()) setStringValue(editor->toPlainText());
    updateExpand();
    BufferChecker& engine = myWindow->services().engine;
    const int index = getIndexInBufferCheckerAndPauseUpdates();
    if (index >= 0 && index < engine.bufferArray.size()) engine.bufferArray[index] = text_;
    updatePasteboardAndResumeUpdates(index);
    engine.publish();
    cutActionJustMade = false;
    docView->update(docView->qtRect(this));
}

int UserInterface::CopiedTextField::getIndexInBufferCheckerAndPauseUpdates() {
    const int index = rowmodel::historyIndex(docView->count(), docView->positionOf(this));
    // The key filter may set the flag from its own thread: decide once, so
    // that a pause is always followed by its resume.
    pausedForEdit_ = index == 0 && !cutActionJustMade;
    if (pausedForEdit_) myWindow->services().engine.pauseUpdates();
    return index;
}

void UserInterface::CopiedTextField::updatePasteboardAndResumeUpdates(int) {
    if (!pausedForEdit_) return;
    pausedForEdit_ = false;
    BufferChecker& engine = myWindow->services().engine;
    engine.writeEntryZeroToPasteboard();
    engine.resumeUpdates();
}

}  // namespace tarnwick
