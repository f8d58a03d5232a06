// Every paste route of the row editor reads the clipboard through the one
// guarded insert, never through Qt's own paste path (which crashed on a
// clipboard without an owner). Qt's clipboard holds a different text than
// the clipboard service, so a route that went Qt's way would show.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <functional>

#include "support/Fakes.h"
#include "ui/FieldEditor.h"

using namespace tarnwick;

namespace {

struct Route {
    const char* name;
    std::function<void(FieldEditor&)> paste;
};

void middleClick(FieldEditor& editor) {
    const QPoint end = editor.cursorRect().center();
    QTest::mousePress(editor.viewport(), Qt::MiddleButton, {}, end);
    QTest::mouseRelease(editor.viewport(), Qt::MiddleButton, {}, end);
}

const Route routes[] = {
    {"paste chord", [](FieldEditor& e) { QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier); }},
    {"shift insert",
     [](FieldEditor& e) { QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier); }},
    {"middle button", middleClick},
    // The row menu's Paste types the paste chord; the window hands it here.
    {"row menu", [](FieldEditor& e) { e.pasteText(); }},
};

TEST(EditorPaste, EveryRouteInsertsTheClipboardTextThroughTheGuardedInsertAndNothingElse) {
    test::FakePasteboard pasteboard;
    QWidget window;
    FieldEditor editor(pasteboard, &window);
    window.resize(300, 100);
    editor.setGeometry(0, 0, 300, 100);
    window.show();
    QApplication::clipboard()->setText(QStringLiteral("from Qt's path"));
    // A clipboard without text (its owner exited, or a delete-all emptied it) inserts nothing.
    for (const std::optional<QString>& text :
         {std::optional(QStringLiteral("pasted")), std::optional<QString>()}) {
        for (const Route& route : routes) {
            editor.setPlainText(QStringLiteral("row "));
            editor.moveCursor(QTextCursor::End);
            pasteboard.copyFromOtherApp(text);
            route.paste(editor);
            EXPECT_EQ(editor.toPlainText().toStdString(),
                      "row " + text.value_or(QString()).toStdString())
                << route.name;
        }
    }
}

}  // namespace
