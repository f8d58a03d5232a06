// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QClipboard>
#include <functional>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;

struct KeyCase {
    const char* name;
    char before;  // 's' select "wor", 't' type "!" (to undo), 'u' type and undo (to redo)
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool handled;
    const char* textAfter;
    const char* clipboardAfter;
};

class KeyEquivalentTest : public WindowTest, public testing::WithParamInterface<KeyCase> {};

// Each key press as the window translates it, on row 2, whose edits leave the
// clipboard alone: only the key's own effect shows there.
TEST_P(KeyEquivalentTest, ActsOnTheFieldEditor) {
    const KeyCase& c = GetParam();
    addRows({"hello world", "newest"});
    harness.pasteboard.copyFromOtherApp(QStringLiteral("CLIP"));
    click(2, Part::text);
    editor().moveCursor(QTextCursor::End);
    if (c.before == 't' || c.before == 'u') type(QStringLiteral("!"));
    if (c.before == 'u') editor().undo();
    if (c.before == 's') select(6, 9);
    KeyEvent chord;
    const bool handled =
        toKeyEquivalent(c.key, c.modifiers, chord) && ui.helpWindow->performKeyEquivalent(chord);
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(engine().bufferArray[1], QString::fromUtf8(c.textAfter));
    EXPECT_EQ(clipboard(), QString::fromUtf8(c.clipboardAfter));
}

const KeyCase keyCases[] = {
    {"UndoWithNothingToUndo", ' ', Qt::Key_Z, ctrl, false, "hello world", "CLIP"},
    {"Undo", 't', Qt::Key_Z, ctrl, true, "hello world", "CLIP"},
    {"RedoWithNothingToRedo", 't', Qt::Key_Z, ctrl | Qt::ShiftModifier, false, "hello world!",
     "CLIP"},
    {"Redo", 'u', Qt::Key_Z, ctrl | Qt::ShiftModifier, true, "hello world!", "CLIP"},
    {"CutWithoutSelection", ' ', Qt::Key_X, ctrl, false, "hello world", "CLIP"},
    {"Cut", 's', Qt::Key_X, ctrl, true, "hello ld", "wor"},
    {"CopyWithoutSelection", ' ', Qt::Key_C, ctrl, false, "hello world", "CLIP"},
    {"Copy", 's', Qt::Key_C, ctrl, true, "hello world", "wor"},
    {"PasteAtTheInsertionPoint", ' ', Qt::Key_V, ctrl, true, "hello worldCLIP", "CLIP"},
    {"PasteOverTheSelection", 's', Qt::Key_V, ctrl | Qt::AltModifier, true, "hello CLIPld", "CLIP"},
    {"NoControl", 's', Qt::Key_X, Qt::MetaModifier, false, "hello world", "CLIP"},
    {"OtherKey", 's', Qt::Key_B, ctrl, false, "hello world", "CLIP"},
};

INSTANTIATE_TEST_SUITE_P(Keys, KeyEquivalentTest, testing::ValuesIn(keyCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
