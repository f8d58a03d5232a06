#include "hotkeys/HotKeyFilter.h"

#include <gtest/gtest.h>

#include <array>

#include "app/Globals.h"
#include "hotkeys/KeyRules.h"
#include "support/Fakes.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

constexpr std::uint64_t cmd = eventflag::command, ctl = eventflag::control,
                        fn = eventflag::secondaryFn, shift = eventflag::shift,
                        opt = eventflag::option;
constexpr ModifierToggles noToggles{}, fnOnly{true, false, false}, controlOnly{false, true, false},
    commandOnly{false, false, true}, allToggles{true, true, true};
constexpr PasteAbility ten{10, true}, three{3, true};

KeyEvent keyDown(int keyCode, std::uint64_t flags) {
    return {KeyEvent::Type::keyDown, keyCode, flags};
}
const KeyEvent pasteChord = keyDown(keycode::V, cmd);
const KeyDecision passes{}, notesCut{KeyDecision::Action::noteCut},
    plainPaste{KeyDecision::Action::paste, 0, true};
KeyDecision pastes(int index) {
    return {KeyDecision::Action::paste, index, false};
}

struct DecisionCase {
    const char* name;
    KeyEvent event;
    ModifierToggles toggles;
    PasteAbility ability;
    KeyDecision expected;
};

class HotKeyFilterDecision : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(HotKeyFilterDecision, FollowsTheTable) {
    const DecisionCase& c = GetParam();
    EXPECT_EQ(decideKey(c.event, c.toggles, c.ability), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    HotKeys, HotKeyFilterDecision,
    ::testing::Values(
        DecisionCase{"NoModifierPasses", keyDown(20, 0), allToggles, ten, passes},
        DecisionCase{"ShiftIsNoRoleModifier", keyDown(20, shift), allToggles, ten, passes},
        DecisionCase{"FnToggleFnDigit", keyDown(20, fn), fnOnly, ten, pastes(2)},
        DecisionCase{"ControlToggleControlZero", keyDown(29, ctl), controlOnly, ten, pastes(9)},
        DecisionCase{"CommandToggleControlPasses", keyDown(21, ctl), commandOnly, ten, passes},
        DecisionCase{"TwoHeldOneEnabled", keyDown(19, cmd | ctl), controlOnly, ten, pastes(1)},
        DecisionCase{"AllTogglesOffPasses", keyDown(18, cmd | ctl | fn), noToggles, ten, passes},
        DecisionCase{"ShiftStillPastes", keyDown(23, cmd | shift), commandOnly, ten, pastes(4)},
        DecisionCase{"LastIndexPastes", keyDown(20, cmd), commandOnly, three, pastes(2)},
        DecisionCase{"IndexBeyondHistoryPasses", keyDown(21, cmd), commandOnly, three, passes},
        DecisionCase{"CommandXNotesACut", keyDown(keycode::X, cmd), noToggles, ten, notesCut},
        DecisionCase{"FnXIsNoCut", keyDown(keycode::X, fn), allToggles, ten, passes},
        DecisionCase{"ControlVIsNoPasteChord", keyDown(keycode::V, ctl), allToggles, ten, passes},
        DecisionCase{"PasteChordEmptyHistory", pasteChord, allToggles, {0, true}, passes},
        DecisionCase{"PasteChordRewritesOtherText", pasteChord, fnOnly, three, plainPaste},
        DecisionCase{"PasteChordEntryZeroThere", pasteChord, allToggles, {3, false}, passes},
        DecisionCase{"ModifierChangePasses",
                     {KeyEvent::Type::flagsChanged, 55, cmd},
                     allToggles,
                     ten,
                     passes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotKeyFilterDecision, EachDigitKeySelectsItsIndexAndNoOtherKeyDoes) {
    constexpr std::array<int, 10> codes{18, 19, 20, 21, 23, 22, 26, 28, 25, 29};
    for (int code = 0; code < 128; ++code) {
        const auto digit = std::find(codes.begin(), codes.end(), code);
        EXPECT_EQ(digitIndex(code), digit == codes.end() ? -1 : int(digit - codes.begin()))
            << "key code " << code;
    }
}

TEST(HotKeyFilterPasteChord, CarriesCommandNeverControlOrFn) {
    const std::uint64_t cases[][2] = {
        {fn, cmd}, {ctl | shift, cmd | shift}, {fn | cmd | ctl | opt | 0x100, cmd | opt | 0x100}};
    for (const auto& [held, sent] : cases)
        EXPECT_EQ(makePasteKeyEvent(keyDown(20, held)), keyDown(keycode::V, sent)) << held;
}

// The filter on the real engine, history {"C", "B", "A"} with "C" on the
// clipboard; change reports come only where a test copies.
struct FilterHarness : EngineHarness {
    FilterHarness() : EngineHarness(250ms, false), filter(engine) {
        engine.bufferArray = {"C", "B", "A"};
        engine.lastAdded = "C";
        pasteboard.copyFromOtherApp("C");
        engine.publish();
        filter.setToggles({false, false, true});
        cutActionJustMade = false;
    }
    void copyFromOtherApp(std::optional<QString> text) {
        pasteboard.copyFromOtherApp(std::move(text));
        engine.clipboardMayHaveChanged();
    }
    HotKeyFilter filter;
};

struct CallbackCase {
    const char* name;
    std::optional<QString> copiedBefore;  // an unpolled copy; "C" = nothing new
    KeyEvent event;
    bool replaced;  // the key goes on as the paste chord, else it is swallowed
    std::optional<QString> clipboardAfter;
    QStringList historyAfter;
};

class HotKeyFilterCallback : public ::testing::TestWithParam<CallbackCase> {};

TEST_P(HotKeyFilterCallback, DeliversAndPastesAsTheTableSays) {
    const CallbackCase& c = GetParam();
    FilterHarness h;
    if (c.copiedBefore != QString("C")) h.copyFromOtherApp(c.copiedBefore);
    const std::optional<KeyEvent> delivered = h.filter.eventTapCallback(c.event);
    EXPECT_EQ(delivered, c.replaced ? std::optional(pasteChord) : std::nullopt);
    EXPECT_EQ(h.pasteboard.string(), c.clipboardAfter);
    EXPECT_EQ(h.engine.bufferArray, c.historyAfter);
}

const QStringList cba{"C", "B", "A"}, dcba{"D", "C", "B", "A"};

INSTANTIATE_TEST_SUITE_P(
    HotKeys, HotKeyFilterCallback,
    ::testing::Values(
        CallbackCase{"HotKeyPastesTheEntry", "C", keyDown(20, cmd), true, "A", cba},
        CallbackCase{"PasteChordWithEntryZeroPasses", "C", pasteChord, false, "C", cba},
        CallbackCase{"ImageSurvivesThePasteChord", std::nullopt, pasteChord, false, {}, cba},
        CallbackCase{"FreshCopyIsPastedAndKept", "D", keyDown(18, cmd), true, "D", dcba},
        CallbackCase{"FreshCopyMakesOneMoreIndex", "D", keyDown(21, cmd), true, "A", dcba},
        CallbackCase{"CommandXPassesUntouched", "C", keyDown(keycode::X, cmd), false, "C", cba}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotKeyFilterEngine, PasteChordRewritesAnOlderEntryBackToEntryZero) {
    FilterHarness h;
    ASSERT_TRUE(h.filter.eventTapCallback(keyDown(20, cmd)));
    EXPECT_EQ(h.filter.eventTapCallback(pasteChord), pasteChord);
    EXPECT_EQ(h.pasteboard.string(), "C");
}

TEST(HotKeyFilterEngine, EveryCommandXNotesACutAndNothingElseDoes) {
    FilterHarness h;
    h.filter.eventTapCallback(keyDown(keycode::C, cmd));
    h.filter.eventTapCallback(keyDown(keycode::X, ctl));
    EXPECT_FALSE(cutActionJustMade);
    h.filter.eventTapCallback(keyDown(keycode::X, cmd | shift));
    EXPECT_TRUE(cutActionJustMade);
}

TEST(HotKeyFilterEngine, ARefusedWriteLetsTheKeyGoOnAsTyped) {
    FilterHarness h;
    h.pasteboard.refuseWrites = true;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(h.filter.eventTapCallback(keyDown(19, cmd)), std::nullopt);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed edit pasteboard\n");
}

TEST(HotKeyFilterEngine, EachAutoRepeatedKeyDownPastesAgain) {
    FilterHarness h;
    for (int repeat = 0; repeat < 3; ++repeat)
        EXPECT_TRUE(h.filter.eventTapCallback(keyDown(19, cmd))) << repeat;
    EXPECT_EQ(h.pasteboard.writes, QStringList({"B", "B", "B"}));
    h.mainThread.advance(250ms);
    EXPECT_EQ(h.pasteboard.string(), "C");
}

// The key thread decides from what the engine last published; the main thread
// turns down a decision that the history or the clipboard overtook since.
TEST(HotKeyFilterSnapshot, ADecisionThatRacedIsTurnedDownOnTheMainThread) {
    FilterHarness h;
    const KeyDecision third = h.filter.decideWithoutWaiting(keyDown(20, cmd));
    ASSERT_EQ(third, pastes(2));
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(21, cmd)), passes);
    h.engine.bufferArray = {"C"};  // a delete on the main thread got there first
    EXPECT_FALSE(h.filter.carryOutPaste(third));
    EXPECT_EQ(h.pasteboard.string(), "C");

    FilterHarness image;
    ASSERT_TRUE(image.filter.eventTapCallback(keyDown(20, cmd)));
    const KeyDecision plain = image.filter.decideWithoutWaiting(pasteChord);
    ASSERT_EQ(plain, plainPaste);
    image.copyFromOtherApp(std::nullopt);  // an image copied since
    EXPECT_FALSE(image.filter.carryOutPaste(plain));
    EXPECT_EQ(image.pasteboard.string(), std::nullopt);
}

TEST(HotKeyFilterToggles, ListenerHearsOnlyRealChanges) {
    FilterHarness h;
    int heard = 0;
    h.filter.setTogglesChangedListener([&] { ++heard; });
    h.filter.setToggles({false, false, true});
    EXPECT_EQ(heard, 0);
    h.filter.setToggles({true, false, true});
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(18, fn)), pastes(0));
}

}  // namespace
