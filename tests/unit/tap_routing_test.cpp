#include <gtest/gtest.h>

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

TEST(TapRouting, AsksTheSnapshotOnlyForKeysAndConsumesOnlyPastes) {
    const struct {
        const char* name;
        Kind kind;
        KeyDecision answer;
        TapRoute expected;
        bool filterAsked;
    } table[] = {
        {"paste", Kind::key, pasteThird, {Action::consume, pasteThird}, true},
        {"cut goes on", Kind::key, cut, {}, true},
        {"plain key", Kind::key, {}, {}, true},
        {"own chord", Kind::ownKey, pasteThird, {}, false},
        {"tap switched off", Kind::tapDisabled, pasteThird, {Action::reenableAndPass, {}}, false},
        {"other event", Kind::other, pasteThird, {}, false}};
    for (const auto& row : table) {
        ScriptedFilter filter;
        filter.answer = row.answer;
        EXPECT_EQ(routeTapEvent(filter, {row.kind, commandThree}), row.expected) << row.name;
        EXPECT_EQ(filter.decisions, row.filterAsked ? 1 : 0) << row.name;
        EXPECT_EQ(filter.asked, row.filterAsked ? commandThree : KeyEvent{}) << row.name;
    }
}

TEST(TapRouting, AConsumedKeyBecomesThePasteChordOrGoesOnAsTyped) {
    for (const bool works : {true, false}) {
        ScriptedFilter filter;
        filter.pasteWorks = works;
        EXPECT_EQ(carryOutConsumedKey(filter, pasteThird),
                  works ? Replacement::pasteChord : Replacement::typedKey);
        EXPECT_EQ(filter.carried, pasteThird);
    }
}

}  // namespace
