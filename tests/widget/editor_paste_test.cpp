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

class EditorPaste : public ::testing::Test {
protected:
    EditorPaste() : editor(pasteboard, &window) {
        window.resize(300, 100);
        editor.setGeometry(0, 0, 300, 100);
        editor.setPlainText(QStringLiteral("row "));
        editor.moveCursor(QTextCursor::End);
        editor.show();
        window.show();
        QApplication::clipboard()->setText(QStringLiteral("from Qt's path"));
    }

    test::FakePasteboard pasteboard;
    QWidget window;
    FieldEditor editor;
};

TEST_F(EditorPaste, EveryRouteInsertsTheClipboardTextThroughTheGuardedInsert) {
    for (const Route& route : routes) {
        editor.setPlainText(QStringLiteral("row "));
        editor.moveCursor(QTextCursor::End);
        pasteboard.copyFromOtherApp(QStringLiteral("pasted"));
        route.paste(editor);
        EXPECT_EQ(editor.toPlainText().toStdString(), "row pasted") << route.name;
    }
}

TEST_F(EditorPaste, NoRouteInsertsAnythingFromAClipboardWithoutText) {
    for (const Route& route : routes) {
        // Its owner exited, or a delete-all emptied it.
        pasteboard.copyFromOtherApp(std::nullopt);
        route.paste(editor);
        EXPECT_EQ(editor.toPlainText().toStdString(), "row ") << route.name;
    }
}

}  // namespace
