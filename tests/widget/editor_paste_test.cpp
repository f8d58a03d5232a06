// SPDX-License-Identifier: MIT
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

namespace tarnwick {
namespace {

TEST(EditorPaste, EveryRouteInsertsTheClipboardTextThroughTheGuardedInsertAndNothingElse) {
    test::EngineHarness h;
    test::FakePasteboard& pasteboard = h.pasteboard;
    QWidget window;
    FieldEditor editor(h.engine, &window);
    window.resize(300, 100);
    editor.setGeometry(0, 0, 300, 100);
    window.show();
    QApplication::clipboard()->setText(QStringLiteral("from Qt's path"));
    const std::pair<const char*, std::function<void()>> routes[] = {
        {"paste chord", [&] { QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier); }},
        {"shift insert", [&] { QTest::keyClick(&editor, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"middle button",
         [&] {
             const QPoint end = editor.cursorRect().center();
             QTest::mousePress(editor.viewport(), Qt::MiddleButton, {}, end);
             QTest::mouseRelease(editor.viewport(), Qt::MiddleButton, {}, end);
         }},
        // The row menu's Paste types the paste chord; the window hands it here.
        {"row menu", [&] { editor.pasteText(); }}};
    // A clipboard without text (its owner exited, or a delete-all emptied it) inserts nothing.
    for (const std::optional<QString>& text :
         {std::optional(QStringLiteral("pasted")), std::optional<QString>()}) {
        for (const auto& [name, paste] : routes) {
            editor.setPlainText(QStringLiteral("row "));
            editor.moveCursor(QTextCursor::End);
            pasteboard.copyFromOtherApp(text);
            paste();
            EXPECT_EQ(editor.toPlainText(), "row " + text.value_or(QString())) << name;
        }
    }
}

}  // namespace
}  // namespace tarnwick
