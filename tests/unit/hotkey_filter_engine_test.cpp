#include <gtest/gtest.h>

#include "hotkeys/HotKeyFilter.h"
#include "support/EngineHarness.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

constexpr std::uint64_t cmd = eventflag::command;

KeyEvent keyDown(int keyCode, std::uint64_t flags) {
    return {KeyEvent::Type::keyDown, keyCode, flags};
}
const KeyEvent pasteChord = keyDown(keycode::V, cmd);

// The filter on the real engine over fakes, history {"C", "B", "A"} with "C"
// on the clipboard; the test thread is the main thread.
struct FilterHarness : EngineHarness {
    // Change reports are delivered by copyFromOtherApp below, as the test decides.
    FilterHarness() : EngineHarness(250ms, false), filter(engine) {
        engine.history().replaceAll({"C", "B", "A"});
        engine.lastAdded = "C";
        pasteboard.copyFromOtherApp("C");
        engine.publish();
        filter.setToggles({false, false, true});
    }
    // Another application takes the clipboard and the platform reports it.
    void copyFromOtherApp(std::optional<QString> text) {
        pasteboard.copyFromOtherApp(std::move(text));
        engine.clipboardMayHaveChanged();
    }
    HotKeyFilter filter;
};

struct CallbackCase {
    const char* name;
    std::optional<QString> copiedBefore;  // unpolled copy; "C" = nothing new
    KeyEvent event;
    bool replaced;
    std::optional<QString> clipboardAfter;
    QStringList historyAfter;
};

class HotKeyFilterCallback : public ::testing::TestWithParam<CallbackCase> {};

TEST_P(HotKeyFilterCallback, DeliversAndPastesAsTheTableSays) {
    const CallbackCase& c = GetParam();
    FilterHarness h;
    if (c.copiedBefore != std::optional<QString>("C")) h.copyFromOtherApp(c.copiedBefore);
    const std::optional<KeyEvent> delivered = h.filter.eventTapCallback(c.event);
    if (c.replaced) {
        EXPECT_EQ(delivered, keyDown(keycode::V, cmd));
    } else {
        EXPECT_EQ(delivered, std::nullopt);
    }
    EXPECT_EQ(h.pasteboard.string(), c.clipboardAfter);
    EXPECT_EQ(h.engine.bufferArray, c.historyAfter);
}

const QStringList cba{"C", "B", "A"};

INSTANTIATE_TEST_SUITE_P(
    HotKeys, HotKeyFilterCallback,
    ::testing::Values(
        CallbackCase{"HotKeyPastesTheEntry", "C", keyDown(20, cmd), true, "A", cba},
        CallbackCase{"HotKeyBeyondTheHistoryPasses", "C", keyDown(21, cmd), false, "C", cba},
        CallbackCase{"PasteChordWithEntryZeroPasses", "C", pasteChord, false, "C", cba},
        CallbackCase{"ImageSurvivesThePasteChord", std::nullopt, pasteChord, false, std::nullopt,
                     cba},
        CallbackCase{
            "FreshCopyIsPastedAndKept", "D", keyDown(18, cmd), true, "D", {"D", "C", "B", "A"}},
        CallbackCase{
            "FreshCopyMakesOneMoreIndex", "D", keyDown(21, cmd), true, "A", {"D", "C", "B", "A"}},
        CallbackCase{"CommandXPassesUntouched", "C", keyDown(keycode::X, cmd), false, "C", cba}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HotKeyFilterEngine, PasteChordRewritesAnOlderEntryBackToEntryZero) {
    FilterHarness h;
    ASSERT_TRUE(h.filter.eventTapCallback(keyDown(20, cmd)));  // entry 2 now on the clipboard
    EXPECT_EQ(h.filter.eventTapCallback(pasteChord), keyDown(keycode::V, cmd));
    EXPECT_EQ(h.pasteboard.string(), "C");
    EXPECT_EQ(h.engine.bufferArray, cba);
}

TEST(HotKeyFilterEngine, EveryCommandXNotesACutAndNothingElseDoes) {
    FilterHarness h;
    h.filter.eventTapCallback(keyDown(keycode::C, cmd));
    h.filter.eventTapCallback(keyDown(keycode::X, eventflag::control));
    EXPECT_FALSE(h.engine.history().cutNoted());
    h.filter.eventTapCallback(keyDown(keycode::X, cmd));
    EXPECT_TRUE(h.engine.history().cutNoted());
    h.engine.history().edit(2, "B");  // the next edit clears the note
    EXPECT_FALSE(h.engine.history().cutNoted());
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(keycode::X, cmd | eventflag::shift)).action,
              KeyDecision::Action::noteCut);
    EXPECT_TRUE(h.engine.history().cutNoted());
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
    for (int repeat = 0; repeat < 3; ++repeat) {
        EXPECT_TRUE(h.filter.eventTapCallback(keyDown(19, cmd))) << repeat;
    }
    EXPECT_EQ(h.pasteboard.writes, QStringList({"B", "B", "B"}));
    h.mainThread.advance(250ms);
    EXPECT_EQ(h.pasteboard.string(), "C");
}

TEST(HotKeyFilterSnapshot, DecidesFromWhatTheEngineLastPublished) {
    FilterHarness h;
    using Action = KeyDecision::Action;
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(20, cmd)).index, 2);
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(21, cmd)).action, Action::pass);
    EXPECT_EQ(h.filter.decideWithoutWaiting(pasteChord).action, Action::pass);

    // A copy not yet polled may become entry 0: one index more is worth a try.
    h.copyFromOtherApp("D");
    const KeyDecision fourth = h.filter.decideWithoutWaiting(keyDown(21, cmd));
    ASSERT_EQ(fourth.action, Action::paste);
    EXPECT_TRUE(h.filter.carryOutPaste(fourth));
    EXPECT_EQ(h.pasteboard.string(), "A");

    // While entry 3 is on the clipboard, the paste chord must rewrite it.
    const KeyDecision plain = h.filter.decideWithoutWaiting(pasteChord);
    ASSERT_EQ(plain, (KeyDecision{Action::paste, 0, true}));
    // ...but an image copied since turns the snapshot's decision down.
    h.copyFromOtherApp(std::nullopt);
    EXPECT_FALSE(h.filter.carryOutPaste(plain));
    EXPECT_EQ(h.pasteboard.string(), std::nullopt);
}

TEST(HotKeyFilterSnapshot, ASnapshotThatRacedIsTurnedDownOnTheMainThread) {
    FilterHarness h;
    const KeyDecision third = h.filter.decideWithoutWaiting(keyDown(20, cmd));
    ASSERT_EQ(third.action, KeyDecision::Action::paste);
    h.engine.history().replaceAll({"C"});  // a delete on the main thread got there first
    EXPECT_FALSE(h.filter.carryOutPaste(third));
    EXPECT_EQ(h.pasteboard.string(), "C");
}

TEST(HotKeyFilterToggles, ListenerHearsOnlyRealChanges) {
    FilterHarness h;
    int heard = 0;
    h.filter.setTogglesChangedListener([&] { ++heard; });
    h.filter.setToggles({false, false, true});
    EXPECT_EQ(heard, 0);
    h.filter.setToggles({true, false, true});
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(h.filter.toggles(), (ModifierToggles{true, false, true}));
    EXPECT_EQ(h.filter.decideWithoutWaiting(keyDown(18, eventflag::secondaryFn)).index, 0);
}

}  // namespace
