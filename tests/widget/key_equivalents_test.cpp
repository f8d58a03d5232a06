#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

constexpr std::uint64_t cmd = eventflag::command;

struct KeyCase {
    const char* name;
    bool select;     // select "wor" of "hello world" first
    bool typeFirst;  // type "!" at the end first (something to undo)
    bool undoFirst;  // and undo it (something to redo)
    int keyCode;
    std::uint64_t flags;
    bool handled;
    const char* textAfter;
    const char* clipboardAfter;
};

class KeyEquivalentTest : public WindowTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeyEquivalentTest, ActsOnTheFieldEditor) {
    const KeyCase& c = GetParam();
    // Row 2: its edits leave the clipboard alone, so only the key's own effect shows.
    addRows({"hello world", "newest"});
    harness.pasteboard.copyFromOtherApp(QStringLiteral("CLIP"));
    click(copied(2));
    QTextCursor cursor = editor().textCursor();
    cursor.movePosition(QTextCursor::End);
    editor().setTextCursor(cursor);
    if (c.typeFirst) type(QStringLiteral("!"));
    if (c.undoFirst) editor().undo();
    if (c.select) {
        cursor.setPosition(6);
        cursor.setPosition(9, QTextCursor::KeepAnchor);
        editor().setTextCursor(cursor);
    }
    const std::optional<QString> clipboardBefore = harness.pasteboard.string();
    const bool handled =
        ui.helpWindow->performKeyEquivalent(KeyEvent{KeyEvent::Type::keyDown, c.keyCode, c.flags});
    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(editor().toPlainText(), QString::fromUtf8(c.textAfter));
    EXPECT_EQ(copied(2)->stringValue(), QString::fromUtf8(c.textAfter));
    EXPECT_EQ(engine().bufferArray[1], QString::fromUtf8(c.textAfter));
    const QString expectedClipboard =
        c.clipboardAfter ? QString::fromUtf8(c.clipboardAfter) : clipboardBefore.value_or("");
    EXPECT_EQ(harness.pasteboard.string().value_or(""), expectedClipboard);
}

const KeyCase keyCases[] = {
    {"UndoWithNothingToUndo", false, false, false, keycode::Z, cmd, false, "hello world", nullptr},
    {"Undo", false, true, false, keycode::Z, cmd, true, "hello world", nullptr},
    {"RedoWithNothingToRedo", false, true, false, keycode::Z, cmd | eventflag::shift, false,
     "hello world!", nullptr},
    {"Redo", false, true, true, keycode::Z, cmd | eventflag::shift, true, "hello world!", nullptr},
    {"CutWithoutSelection", false, false, false, keycode::X, cmd, false, "hello world", nullptr},
    {"Cut", true, false, false, keycode::X, cmd, true, "hello ld", "wor"},
    {"CopyWithoutSelection", false, false, false, keycode::C, cmd, false, "hello world", nullptr},
    {"Copy", true, false, false, keycode::C, cmd, true, "hello world", "wor"},
    {"PasteAtTheInsertionPoint", false, false, false, keycode::V, cmd, true, "hello worldCLIP",
     nullptr},
    {"PasteOverTheSelection", true, false, false, keycode::V, cmd, true, "hello CLIPld", nullptr},
    {"PasteWithOption", false, false, false, keycode::V, cmd | eventflag::option, true,
     "hello worldCLIP", nullptr},
    {"SelectAllReportsNotHandled", false, false, false, keycode::A, cmd, false, "hello world",
     nullptr},
    {"NoCommandModifier", true, false, false, keycode::X, eventflag::control, false, "hello world",
     nullptr},
    {"OtherKey", true, false, false, 1, cmd, false, "hello world", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Keys, KeyEquivalentTest, testing::ValuesIn(keyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, SelectAllSelectsTheWholeText) {
    addRows({"hello"});
    click(copied(1));
    editor().moveCursor(QTextCursor::End);
    EXPECT_FALSE(ui.helpWindow->performKeyEquivalent({KeyEvent::Type::keyDown, keycode::A, cmd}));
    EXPECT_EQ(editor().textCursor().selectedText(), "hello");
}

TEST_F(WindowTest, KeyEquivalentsNeedAFieldBeingEditedAndAKeyDown) {
    addRows({"hello"});
    EXPECT_FALSE(ui.helpWindow->performKeyEquivalent({KeyEvent::Type::keyDown, keycode::V, cmd}));
    click(copied(1));
    EXPECT_FALSE(
        ui.helpWindow->performKeyEquivalent({KeyEvent::Type::flagsChanged, keycode::V, cmd}));
}

TEST(KeyTranslation, CtrlChordsBecomeCommandKeyCodes) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        bool translated;
        int code;
        std::uint64_t flags;
    };
    const Case cases[] = {
        {Qt::Key_V, Qt::ControlModifier, true, keycode::V, cmd},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, true, keycode::Z,
         cmd | eventflag::shift},
        {Qt::Key_X, Qt::ControlModifier | Qt::AltModifier, true, keycode::X,
         cmd | eventflag::secondaryFn},
        {Qt::Key_A, Qt::ControlModifier, true, keycode::A, cmd},
        {Qt::Key_C, Qt::ControlModifier, true, keycode::C, cmd},
        {Qt::Key_V, Qt::NoModifier, false, 0, 0},
        {Qt::Key_B, Qt::ControlModifier, false, 0, 0},
    };
    for (const Case& c : cases) {
        KeyEvent event;
        EXPECT_EQ(toKeyEquivalent(c.key, c.modifiers, event), c.translated) << c.key;
        if (!c.translated) continue;
        EXPECT_EQ(event, (KeyEvent{KeyEvent::Type::keyDown, c.code, c.flags})) << c.key;
    }
}

}  // namespace
}  // namespace tarnwick::test
