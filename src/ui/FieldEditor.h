// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace tarnwick {

class BufferChecker;

// The window's one text editor, placed over the row field being edited. Cut,
// copy and paste go through the clipboard service like every other clipboard
// access of the program. Every paste route (the paste chord, Shift+Insert,
// the middle button, the row menu's Paste) ends in pasteText(): Qt's own
// paste reads whatever QClipboard returns and crashed on a clipboard without
// an owner.
//
// Laying out a line costs time in proportion to its length (a 12 MB line
// took seconds), so a text with a line longer than longestShownLine shows
// only up to that many characters of it; the rest of the text is kept aside,
// unchanged, and joined back on in fieldText(). Selecting all that shows
// selects the whole text: copying it copies the whole text, and replacing it
// replaces the whole text (that replacement cannot be undone).
class FieldEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr qsizetype longestShownLine = 10000;

    FieldEditor(BufferChecker& engine, QWidget* parent);

    // Starts editing text; fieldText() is the text as edited.
    void setFieldText(const QString& text);
    QString fieldText() const;

    bool hasSelection() const;
    void cutSelection();
    void copySelection();
    // Inserts the clipboard's plain text at the cursor; nothing when it has none.
    void pasteText();
    // Inserts text at the cursor as if typed.
    void insertText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool selectsWholeText() const;
    QString selectedFieldText() const;
    // Runs an edit of the shown text; one that replaces a selection of the
    // whole text drops the part kept aside.
    void editShown(const std::function<void()>& edit);
    void shownTextChanged(int from, int removed);

    BufferChecker& engine_;
    // The text as given while part of it is kept aside, and where that part
    // starts (-1 when all of the text shows).
    QString kept_;
    qsizetype asideFrom_ = -1;
    // While an edit runs that may replace the whole text: how much showed.
    qsizetype replacingShown_ = -1;
};

}  // namespace tarnwick
