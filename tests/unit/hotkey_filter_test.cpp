// SPDX-License-Identifier: MIT
#include "hotkeys/HotKeyFilter.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hotkeys/KeyRules.h"
#include "support/Fakes.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

constexpr std::uint64_t cmd = eventflag::command, ctl = eventflag::control,
                        fn = eventflag::secondaryFn, shift = eventflag::shift;
constexpr ModifierToggles none{}, fnOnly{true, false, false}, ctlOnly{false, true, false},
    cmdOnly{false, false, true}, all{true, true, true};
constexpr PasteAbility ten{10, true}, three{3, true};

const auto keyDown = [](int key, std::uint64_t f) {
    return KeyEvent{KeyEvent::Type::keyDown, key, f};
};
const KeyEvent pasteChord = keyDown(keycode::V, cmd);
const KeyEvent sentChord = keyDown(keycode::V, cmd | eventflag::leftCommandKey);
const KeyDecision passes{}, plainPaste{KeyDecision::Action::paste, 0, true};
const auto pastes = [](int index) { return KeyDecision{KeyDecision::Action::paste, index, false}; };

TEST(HotKeyFilterDecision, FollowsTheTable) {
    const std::tuple<const char*, KeyEvent, ModifierToggles, PasteAbility, KeyDecision> cases[] = {
        {"no modifier", keyDown(20, 0), all, ten, passes},
        {"shift is no role modifier", keyDown(20, shift), all, ten, passes},
        {"fn digit", keyDown(20, fn), fnOnly, ten, pastes(2)},
        {"control zero", keyDown(29, ctl), ctlOnly, ten, pastes(9)},
        {"control off", keyDown(21, ctl), cmdOnly, ten, passes},
        {"two held, one on", keyDown(19, cmd | ctl), ctlOnly, ten, pastes(1)},
        {"all toggles off", keyDown(18, cmd | ctl | fn), none, ten, passes},
        {"shift still pastes", keyDown(23, cmd | shift), cmdOnly, ten, pastes(4)},
        {"last index", keyDown(20, cmd), cmdOnly, three, pastes(2)},
        {"beyond the history", keyDown(21, cmd), cmdOnly, three, passes},
        {"command X", keyDown(keycode::X, cmd), none, ten, {KeyDecision::Action::noteCut}},
        {"fn X", keyDown(keycode::X, fn), all, ten, passes},
        {"control V", keyDown(keycode::V, ctl), all, ten, passes},
        {"chord, empty history", pasteChord, all, {0, true}, passes},
        {"chord over another text", pasteChord, fnOnly, three, plainPaste},
        {"chord over entry 0", pasteChord, all, {3, false}, passes}};
    for (const auto& [name, event, toggles, ability, expected] : cases)
        EXPECT_EQ(decideKey(event, toggles, ability), expected) << name;
}

TEST(HotKeyFilterPasteChord, CarriesCommandByTheLeftKeyNeverControlOrFn) {
    const std::uint64_t lcmd = cmd | eventflag::leftCommandKey;
    const std::uint64_t ctlKeys = eventflag::leftControlKey | eventflag::rightControlKey;
    const std::uint64_t cases[][2] = {
        {fn, lcmd},
        {ctl | ctlKeys | shift, lcmd | shift},
        {fn | cmd | ctl | eventflag::option | 0x100, lcmd | eventflag::option | 0x100}};
    for (const auto& [held, sent] : cases)
        EXPECT_EQ(makePasteKeyEvent(keyDown(20, held)), keyDown(keycode::V, sent)) << held;
}

struct FilterHarness : PasteHarness {
    FilterHarness() : filter(engine) { filter.setToggles(cmdOnly); }
    HotKeyFilter filter;
};

// A hot key is swallowed and pastes; other keys go on unchanged (nullopt).
// Every command + X notes a cut, and nothing else does.
TEST(HotKeyFilterEngine, DeliversAndPastesAsTheTableSays) {
    const QStringList cba{"C", "B", "A"}, dcba{"D", "C", "B", "A"};
    const struct {
        std::optional<QString> copiedBefore;  // an unpolled copy; "C" = nothing new
        KeyEvent event;
        std::optional<KeyEvent> delivered;
        std::optional<QString> clipboardAfter;
        QStringList historyAfter;
        bool cutNoted = false;
    } cases[] = {{"C", keyDown(20, cmd), sentChord, "A", cba},
                 {"C", pasteChord, std::nullopt, "C", cba},
                 {std::nullopt, pasteChord, std::nullopt, std::nullopt, cba},  // an image survives
                 {"D", keyDown(18, cmd), sentChord, "D", dcba},  // a fresh copy is kept and pasted
                 {"D", keyDown(21, cmd), sentChord, "A", dcba},  // and makes one more index
                 {"C", keyDown(keycode::X, cmd | shift), std::nullopt, "C", cba, true}};
    for (const auto& c : cases) {
        FilterHarness h;
        if (c.copiedBefore != QString("C")) h.pasteboard.copyFromOtherApp(c.copiedBefore);
        EXPECT_EQ(h.filter.eventTapCallback(c.event), c.delivered) << c.event.keyCode;
        EXPECT_EQ(h.clipboard(), c.clipboardAfter) << c.event.keyCode;
        EXPECT_EQ(h.engine.bufferArray, c.historyAfter) << c.event.keyCode;
        EXPECT_EQ(h.engine.history().cutNoted(), c.cutNoted) << c.event.keyCode;
    }
}

TEST(HotKeyFilterEngine, RepeatsPasteAgainThePasteChordRewritesEntryZeroARefusalTypes) {
    FilterHarness h;
    for (int repeat = 0; repeat < 3; ++repeat)
        EXPECT_TRUE(h.filter.eventTapCallback(keyDown(19, cmd)));
    EXPECT_EQ(h.pasteboard.writes, QStringList({"B", "B", "B"}));
    EXPECT_EQ(h.filter.eventTapCallback(pasteChord), sentChord);
    EXPECT_EQ(h.clipboard(), "C");
    h.pasteboard.refuseWrites = true;
    EXPECT_EQ(h.filter.eventTapCallback(keyDown(19, cmd)), std::nullopt);
}

// The key thread decides from what the engine last published, toggles included;
// the main thread turns down a decision the history or the clipboard overtook.
TEST(HotKeyFilterSnapshot, ADecisionThatRacedIsTurnedDownOnTheMainThread) {
    FilterHarness h;
    const KeyDecision third = h.filter.decideWithoutWaiting(keyDown(20, cmd));
    ASSERT_EQ(third, pastes(2));
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(21, cmd)), passes);
    h.engine.history().replaceAll({"C"});  // a delete on the main thread got there first
    EXPECT_FALSE(h.filter.carryOutPaste(third));
    EXPECT_EQ(h.clipboard(), "C");

    FilterHarness image;
    ASSERT_TRUE(image.filter.eventTapCallback(keyDown(19, cmd)));
    const KeyDecision plain = image.filter.decideWithoutWaiting(pasteChord);
    ASSERT_EQ(plain, plainPaste);
    image.pasteboard.copyFromOtherApp(std::nullopt);  // an image copied since
    EXPECT_FALSE(image.filter.carryOutPaste(plain));
    EXPECT_EQ(image.clipboard(), std::nullopt);
    // The toggles' listener hears only real changes (command is on already).
    int heard = 0;
    h.filter.setTogglesChangedListener([&] { ++heard; });
    h.filter.setToggles(cmdOnly);
    h.filter.setToggles(all);
    EXPECT_EQ(heard, 1);
    for (const std::uint64_t role : {fn, ctl, cmd})
        EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(18, role)), pastes(0)) << role;
}

}  // namespace
