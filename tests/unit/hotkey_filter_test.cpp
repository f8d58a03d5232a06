#include <gtest/gtest.h>

#include <array>
#include <set>

#include "hotkeys/HotKeyFilter.h"
#include "hotkeys/KeyRules.h"
#include "support/EngineHarness.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

constexpr std::uint64_t cmd = eventflag::command;
constexpr std::uint64_t ctl = eventflag::control;
constexpr std::uint64_t fn = eventflag::secondaryFn;
constexpr std::uint64_t shift = eventflag::shift;
constexpr std::uint64_t opt = eventflag::option;

constexpr ModifierToggles noToggles{};
constexpr ModifierToggles fnOnly{true, false, false};
constexpr ModifierToggles controlOnly{false, true, false};
constexpr ModifierToggles commandOnly{false, false, true};
constexpr ModifierToggles allToggles{true, true, true};

constexpr PasteAbility tenEntries{10, true};
constexpr PasteAbility threeEntries{3, true};

KeyEvent keyDown(int keyCode, std::uint64_t flags) {
    return {KeyEvent::Type::keyDown, keyCode, flags};
}

const KeyDecision passes{};
const KeyDecision notesCut{KeyDecision::Action::noteCut};
KeyDecision pastes(int index) {
    return {KeyDecision::Action::paste, index, false};
}
const KeyDecision plainPaste{KeyDecision::Action::paste, 0, true};

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
        DecisionCase{"DigitWithoutModifierPasses", keyDown(20, 0), allToggles, tenEntries, passes},
        DecisionCase{"ShiftIsNoRoleModifier", keyDown(20, shift), allToggles, tenEntries, passes},
        DecisionCase{"FnToggleFnDigit", keyDown(20, fn), fnOnly, tenEntries, pastes(2)},
        DecisionCase{"FnTogglePasteChordStillPastes", keyDown(keycode::V, cmd), fnOnly, tenEntries,
                     plainPaste},
        DecisionCase{"ControlToggleControlZero", keyDown(29, ctl), controlOnly, tenEntries,
                     pastes(9)},
        DecisionCase{"CommandToggleCommandDigit", keyDown(21, cmd), commandOnly, tenEntries,
                     pastes(3)},
        DecisionCase{"CommandToggleControlDigitPasses", keyDown(21, ctl), commandOnly, tenEntries,
                     passes},
        DecisionCase{"TwoHeldOneEnabled", keyDown(19, cmd | ctl), controlOnly, tenEntries,
                     pastes(1)},
        DecisionCase{"AllTogglesOffDigitPasses", keyDown(18, cmd | ctl | fn), noToggles, tenEntries,
                     passes},
        DecisionCase{"ShiftWithHotKeyStillPastes", keyDown(23, cmd | shift), commandOnly,
                     tenEntries, pastes(4)},
        DecisionCase{"IndexBeyondHistoryPasses", keyDown(23, cmd), commandOnly, threeEntries,
                     passes},
        DecisionCase{"LastIndexInHistoryPastes", keyDown(20, cmd), commandOnly, threeEntries,
                     pastes(2)},
        DecisionCase{"CommandXNotesACut", keyDown(keycode::X, cmd), noToggles, tenEntries,
                     notesCut},
        DecisionCase{"FnXIsNoCut", keyDown(keycode::X, fn), allToggles, tenEntries, passes},
        DecisionCase{"ControlVIsNoPasteChord", keyDown(keycode::V, ctl), allToggles, tenEntries,
                     passes},
        DecisionCase{"PasteChordEmptyHistoryPasses",
                     keyDown(keycode::V, cmd),
                     allToggles,
                     {0, true},
                     passes},
        DecisionCase{"PasteChordRewritesOtherText", keyDown(keycode::V, cmd), noToggles,
                     threeEntries, plainPaste},
        DecisionCase{"PasteChordEntryZeroAlreadyThere",
                     keyDown(keycode::V, cmd),
                     allToggles,
                     {3, false},
                     passes},
        DecisionCase{"ModifierChangeEventPasses",
                     {KeyEvent::Type::flagsChanged, 55, cmd},
                     allToggles,
                     tenEntries,
                     passes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotKeyFilterDecision, EachDigitKeySelectsItsIndexAndNoOtherKeyDoes) {
    constexpr std::array<int, 10> codes{18, 19, 20, 21, 23, 22, 26, 28, 25, 29};
    for (int index = 0; index < 10; ++index) {
        const int code = codes[static_cast<std::size_t>(index)];
        EXPECT_EQ(decideKey(keyDown(code, cmd), commandOnly, tenEntries), pastes(index))
            << "key code " << code;
    }
    const std::set<int> digits(codes.begin(), codes.end());
    for (int code = 0; code < 128; ++code) {
        if (digits.count(code) == 0) {
            EXPECT_EQ(digitIndex(code), -1) << "key code " << code;
        }
    }
}

struct ReplacementCase {
    const char* name;
    std::uint64_t heldFlags;
    std::uint64_t expectedFlags;
};

class HotKeyFilterPasteChord : public ::testing::TestWithParam<ReplacementCase> {};

TEST_P(HotKeyFilterPasteChord, CarriesCommandNeverControlOrFn) {
    const KeyEvent made = makePasteKeyEvent(keyDown(20, GetParam().heldFlags));
    EXPECT_EQ(made, keyDown(keycode::V, GetParam().expectedFlags));
}

INSTANTIATE_TEST_SUITE_P(
    HotKeys, HotKeyFilterPasteChord,
    ::testing::Values(ReplacementCase{"Command", cmd, cmd},
                      ReplacementCase{"FnBecomesCommand", fn, cmd},
                      ReplacementCase{"ShiftStays", ctl | shift, cmd | shift},
                      ReplacementCase{"OptionStays", fn | cmd | ctl | opt, cmd | opt},
                      ReplacementCase{"OtherBitsStay", ctl | 0x100, cmd | 0x100}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
