#pragma once

#include <QPlainTextEdit>

namespace tarnwick {

class Pasteboard;

// The window's one text editor, placed over the row field being edited. Cut,
// copy and paste go through the clipboard service like every other clipboard
// access of the program.
class FieldEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    FieldEditor(Pasteboard& pasteboard, QWidget* parent);

    bool hasSelection() const;
    void cutSelection();
    void copySelection();
    void pasteText();

private:
    Pasteboard& pasteboard_;
};

}  // namespace tarnwick
