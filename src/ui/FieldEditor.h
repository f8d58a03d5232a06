#pragma once

#include <QPlainTextEdit>

namespace tarnwick {

class BufferChecker;

// The window's one text editor, placed over the row field being edited. Cut,
// copy and paste go through the clipboard service like every other clipboard
// access of the program. Every paste route (the paste chord, Shift+Insert,
// the middle button, the row menu's Paste) ends in pasteText(): Qt's own
// paste reads whatever QClipboard returns and crashed on a clipboard without
// an owner.
class FieldEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    FieldEditor(BufferChecker& engine, QWidget* parent);

    bool hasSelection() const;
    void cutSelection();
    void copySelection();
    // Inserts the clipboard's plain text at the cursor; nothing when it has none.
    void pasteText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    BufferChecker& engine_;
};

}  // namespace tarnwick
