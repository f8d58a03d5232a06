// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QClipboard>
#include <functional>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

// Every paste route of the row editor goes through the one guarded insert,
// never Qt's own paste path (which crashed on a clipboard without an owner):
// Qt's clipboard holds another text, so a route that went Qt's way would show.
TEST_F(WindowTest, EveryPasteRouteInsertsTheClipboardTextThroughTheGuardedInsert) {
    addRows({"row ", "top"});
    click(2, Part::text);
    QApplication::clipboard()->setText(QStringLiteral("from Qt's path"));
    const std::pair<const char*, std::function<void()>> routes[] = {
        // The row menu's Paste types this chord too.
        {"paste chord", [&] { QTest::keyClick(&editor(), Qt::Key_V, Qt::ControlModifier); }},
        {"shift insert", [&] { QTest::keyClick(&editor(), Qt::Key_Insert, Qt::ShiftModifier); }},
        {"middle button", [&] {
             const QPoint end = editor().cursorRect().center();
             QTest::mousePress(editor().viewport(), Qt::MiddleButton, {}, end);
             QTest::mouseRelease(editor().viewport(), Qt::MiddleButton, {}, end);
         }}};
    // A clipboard without text (its owner exited, or a delete-all emptied it) inserts nothing.
    for (const std::optional<QString>& text :
         {std::optional(QStringLiteral("pasted")), std::optional<QString>()}) {
        for (const auto& [name, paste] : routes) {
            editor().setPlainText(QStringLiteral("row "));
            editor().moveCursor(QTextCursor::End);
            harness.pasteboard.copyFromOtherApp(text);
            paste();
            EXPECT_EQ(editor().toPlainText(), "row " + text.value_or(QString())) << name;
        }
    }
}

}  // namespace
}  // namespace tarnwick::test
