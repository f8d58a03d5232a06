// SPDX-License-Identifier: MIT
#include <tuple>

#include "WindowFixture.h"

namespace tarnwick::test {
namespace {

constexpr std::uint64_t cmd = eventflag::command;

struct KeyCase {
    const char* name;
    char before;  // 's' select "wor", 't' type "!" (to undo), 'u' type and undo (to redo)
    int keyCode;
    std::uint64_t flags;
    bool handled;
    const char* textAfter;
    const char* clipboardAfter;
};

class KeyEquivalentTest : public WindowTest, public testing::WithParamInterface<KeyCase> {};

// Row 2 of "hello world" is edited: its edits leave the clipboard alone, so
// only the key's own effect shows there.
TEST_P(KeyEquivalentTest, ActsOnTheFieldEditor) {
    const KeyCase& c = GetParam();
    addRows({"hello world", "newest"});
    harness.pasteboard.copyFromOtherApp(QStringLiteral("CLIP"));
    click(2, Part::text);
    editor().moveCursor(QTextCursor::End);
    if (c.before == 't' || c.before == 'u') type(QStringLiteral("!"));
    if (c.before == 'u') editor().undo();
    if (c.before == 's') select(6, 9);
    EXPECT_EQ(ui.helpWindow->performKeyEquivalent({KeyEvent::Type::keyDown, c.keyCode, c.flags}),
              c.handled);
    EXPECT_EQ(engine().bufferArray[1], QString::fromUtf8(c.textAfter));
    EXPECT_EQ(clipboard(), QString::fromUtf8(c.clipboardAfter));
}

const KeyCase keyCases[] = {
    {"UndoWithNothingToUndo", ' ', keycode::Z, cmd, false, "hello world", "CLIP"},
    {"Undo", 't', keycode::Z, cmd, true, "hello world", "CLIP"},
    {"RedoWithNothingToRedo", 't', keycode::Z, cmd | eventflag::shift, false, "hello world!",
     "CLIP"},
    {"Redo", 'u', keycode::Z, cmd | eventflag::shift, true, "hello world!", "CLIP"},
    {"CutWithoutSelection", ' ', keycode::X, cmd, false, "hello world", "CLIP"},
    {"Cut", 's', keycode::X, cmd, true, "hello ld", "wor"},
    {"CopyWithoutSelection", ' ', keycode::C, cmd, false, "hello world", "CLIP"},
    {"Copy", 's', keycode::C, cmd, true, "hello world", "wor"},
    {"PasteAtTheInsertionPoint", ' ', keycode::V, cmd, true, "hello worldCLIP", "CLIP"},
    {"PasteOverTheSelection", 's', keycode::V, cmd | eventflag::option, true, "hello CLIPld",
     "CLIP"},
    {"NoCommandModifier", 's', keycode::X, eventflag::control, false, "hello world", "CLIP"},
    {"OtherKey", 's', 1, cmd, false, "hello world", "CLIP"},
};

INSTANTIATE_TEST_SUITE_P(Keys, KeyEquivalentTest, testing::ValuesIn(keyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, SelectAllSelectsTheWholeTextAndReportsNotHandled) {
    addRows({"hello"});
    EXPECT_FALSE(ui.helpWindow->performKeyEquivalent({KeyEvent::Type::keyDown, keycode::V, cmd}));
    click(1, Part::text);
    editor().moveCursor(QTextCursor::End);
    EXPECT_FALSE(
        ui.helpWindow->performKeyEquivalent({KeyEvent::Type::flagsChanged, keycode::A, cmd}));
    EXPECT_FALSE(editor().textCursor().hasSelection());
    EXPECT_FALSE(ui.helpWindow->performKeyEquivalent({KeyEvent::Type::keyDown, keycode::A, cmd}));
    EXPECT_EQ(editor().textCursor().selectedText(), "hello");
}

TEST(KeyTranslation, CtrlChordsBecomeCommandKeyCodes) {
    const auto ctl = Qt::ControlModifier;
    // Qt's key and modifiers; the key code (-1: not a key equivalent) and flags.
    const std::tuple<int, Qt::KeyboardModifiers, int, std::uint64_t> cases[] = {
        {Qt::Key_V, ctl, keycode::V, cmd},
        {Qt::Key_Z, ctl | Qt::ShiftModifier, keycode::Z, cmd | eventflag::shift},
        {Qt::Key_X, ctl | Qt::AltModifier, keycode::X, cmd | eventflag::secondaryFn},
        {Qt::Key_A, ctl, keycode::A, cmd},
        {Qt::Key_C, ctl, keycode::C, cmd},
        {Qt::Key_V, Qt::NoModifier, -1, 0},
        {Qt::Key_B, ctl, -1, 0}};
    for (const auto& [key, modifiers, code, flags] : cases) {
        KeyEvent event;
        ASSERT_EQ(toKeyEquivalent(key, modifiers, event), code >= 0) << key;
        if (code >= 0) {
            EXPECT_EQ(event, (KeyEvent{KeyEvent::Type::keyDown, code, flags})) << key;
        }
    }
}

}  // namespace
}  // namespace tarnwick::test
