// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "platform/LetterKeys.h"
#include "platform/TapKeeper.h"
#include "platform/TapRouting.h"

using namespace tarnwick;
using namespace std::chrono_literals;

namespace {

using Step = TapKeeper::Step;
using Notice = TapKeeper::Notice;

enum class Input { tick, secureTick, switchedOff, installed, refused };

TEST(TapKeeper, WaitsForTrustReenablesWithBackOffWhileTrustedAndWaitsAgainWithout) {
    // What happens, trusted or not, at which second; the step and notice that follow.
    const std::tuple<Input, bool, int, Step, Notice> life[] = {
        {Input::tick, false, 0, Step::none, Notice::waitingForPermission},
        {Input::tick, true, 2, Step::install, Notice::waitingForPermission},
        {Input::installed, true, 2, Step::none, Notice::none},
        // The first switch-off is undone at once, a quick repeat after a pause.
        {Input::switchedOff, true, 10, Step::reenable, Notice::none},
        {Input::switchedOff, true, 12, Step::none, Notice::none},
        {Input::tick, true, 13, Step::reenable, Notice::none},
        // A calm half minute forgives the repeats.
        {Input::switchedOff, true, 60, Step::reenable, Notice::none},
        {Input::secureTick, true, 61, Step::none, Notice::secureInput},
        {Input::tick, true, 62, Step::none, Notice::none},
        // Trust gone: a due re-enable becomes a removal, and the tap waits.
        {Input::switchedOff, true, 63, Step::none, Notice::none},
        {Input::tick, false, 64, Step::remove, Notice::waitingForPermission},
        {Input::switchedOff, true, 65, Step::none, Notice::waitingForPermission},
        {Input::tick, true, 66, Step::install, Notice::waitingForPermission},
        {Input::installed, true, 66, Step::none, Notice::none},
        {Input::switchedOff, false, 70, Step::remove, Notice::waitingForPermission},
        // Trusted and still refused: final.
        {Input::tick, true, 71, Step::install, Notice::waitingForPermission},
        {Input::refused, true, 71, Step::none, Notice::cannotInstall},
        {Input::tick, true, 72, Step::none, Notice::cannotInstall},
        {Input::switchedOff, true, 73, Step::none, Notice::cannotInstall}};
    TapKeeper keeper;
    for (const auto& [input, trusted, second, step, notice] : life) {
        const TapKeeper::Time now = std::chrono::seconds(second);
        Step taken = Step::none;
        if (input == Input::switchedOff)
            taken = keeper.switchedOff(trusted, now);
        else if (input == Input::installed || input == Input::refused)
            keeper.installed(input == Input::installed);
        else
            taken = keeper.tick(trusted, input == Input::secureTick, now);
        EXPECT_EQ(taken, step) << "at " << second;
        EXPECT_EQ(keeper.notice(), notice) << "at " << second;
    }
}

TEST(TapKeeper, PausesDoubleUpToThirtyTwoSeconds) {
    TapKeeper keeper;
    keeper.installed(true);
    ASSERT_EQ(keeper.switchedOff(true, 0s), Step::reenable);
    std::vector<int> pauses;
    for (TapKeeper::Time now = 0s; pauses.size() < 7;) {
        const TapKeeper::Time off = now += 1s;
        ASSERT_EQ(keeper.switchedOff(true, off), Step::none);
        while (keeper.tick(true, false, now) != Step::reenable) now += 1s;
        pauses.push_back(static_cast<int>((now - off) / 1s));
    }
    EXPECT_EQ(pauses, (std::vector<int>{1, 2, 4, 8, 16, 32, 32}));
}

// A filter that answers with a set decision and counts what it is asked.
struct ScriptedFilter final : KeyFilter {
    std::optional<KeyEvent> eventTapCallback(const KeyEvent&) override { return std::nullopt; }
    KeyDecision decideWithoutWaiting(const KeyEvent& event) override {
        return ++decisions, asked = event, answer;
    }
    bool carryOutPaste(const KeyDecision& decision) override {
        return carried = decision, pasteWorks;
    }
    ModifierToggles toggles() const override { return {}; }
    std::vector<HotChord> hotChords() const override { return {}; }
    void setTogglesChangedListener(std::function<void()>) override {}

    KeyDecision answer, carried;
    bool pasteWorks = true;
    int decisions = 0;
    KeyEvent asked;
};

using Kind = TapInput::Kind;
using Action = TapRoute::Action;
const KeyEvent commandThree{KeyEvent::Type::keyDown, 20, eventflag::command};
const KeyDecision pasteThird{KeyDecision::Action::paste, 2, false};
const KeyDecision cut{KeyDecision::Action::noteCut};

TEST(TapRouting, AsksTheSnapshotOnlyForKeysAndConsumesOnlyPastesItCarriesOut) {
    // What comes in, what the filter would answer; the route, and whether it was asked.
    const std::tuple<const char*, Kind, KeyDecision, TapRoute, bool> table[] = {
        {"paste", Kind::key, pasteThird, {Action::consume, pasteThird}, true},
        {"cut goes on", Kind::key, cut, {}, true},
        {"plain key", Kind::key, {}, {}, true},
        {"own chord", Kind::ownKey, pasteThird, {}, false},
        {"tap switched off", Kind::tapDisabled, pasteThird, {Action::reportSwitchOff, {}}, false},
        {"other event", Kind::other, pasteThird, {}, false}};
    for (const auto& [name, kind, answer, expected, asked] : table) {
        ScriptedFilter filter;
        filter.answer = answer;
        EXPECT_EQ(routeTapEvent(filter, {kind, commandThree}), expected) << name;
        EXPECT_EQ(filter.decisions, asked ? 1 : 0) << name;
        EXPECT_EQ(filter.asked, asked ? commandThree : KeyEvent{}) << name;
    }
    // A consumed key becomes the paste chord, or goes on as typed when the paste fails.
    for (const bool works : {true, false}) {
        ScriptedFilter filter;
        filter.pasteWorks = works;
        EXPECT_EQ(carryOutConsumedKey(filter, pasteThird),
                  works ? Replacement::pasteChord : Replacement::typedKey);
        EXPECT_EQ(filter.carried, pasteThird);
    }
}

using Layout = std::map<int, char32_t>;  // key code -> what it types with command

// The keys that matter, with the ANSI places of V (9), X (7), C (8), B (11),
// I (34) and period (47); digits are places and never searched.
const Layout qwerty{{7, U'x'}, {8, U'c'}, {9, U'v'}, {11, U'b'}, {34, U'i'}, {47, U'.'}};
const Layout dvorak{{7, U'q'}, {8, U'j'}, {9, U'k'}, {11, U'x'}, {34, U'c'}, {47, U'v'}};
// No V or C; X on the place of the digit 1 (18) and, in capitals, on key 40.
const Layout oddX{{7, U'q'}, {18, U'x'}, {40, U'X'}};

CommandLayer layerOf(const Layout& layout) {
    return [&layout](int code) {
        const auto found = layout.find(code);
        return found == layout.end() ? char32_t{0} : found->second;
    };
}

TEST(LetterKeys, FoundInTheCommandLayerWithTheAnsiPlacesAsFallback) {
    const std::tuple<const char*, CommandLayer, LetterKeys> table[] = {
        {"QWERTY", layerOf(qwerty), {9, 7, 8}},
        {"Dvorak", layerOf(dvorak), {47, 11, 34}},
        {"no layout data", CommandLayer{}, {9, 7, 8}},
        {"V and C missing, X odd", layerOf(oddX), {9, 40, 8}}};
    for (const auto& [name, layer, expected] : table)
        EXPECT_EQ(findLetterKeys(layer), expected) << name;
}

TEST(LetterKeys, TranslateBothWaysAndSilenceTheAnsiPlacesOfMovedLetters) {
    const LetterKeys keys = findLetterKeys(layerOf(dvorak));
    const std::pair<int, int> vocabularyToKey[] = {
        {keycode::V, 47}, {keycode::X, 11}, {keycode::C, 34}, {keycode::digits[0], 18}, {0, 0}};
    for (const auto& [vocabulary, key] : vocabularyToKey) {
        EXPECT_EQ(keys.physical(vocabulary), key) << vocabulary;
        EXPECT_EQ(keys.vocabulary(key), vocabulary) << key;
    }
    for (const int kOrQOrJ : {9, 7, 8}) EXPECT_EQ(keys.vocabulary(kOrQOrJ), keycode::none);
}

}  // namespace
