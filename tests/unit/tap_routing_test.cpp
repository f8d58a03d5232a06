// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>

#include "platform/TapRouting.h"

using namespace tarnwick;

namespace {

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

}  // namespace
