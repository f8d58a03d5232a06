#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/EngineHarness.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

struct CopyCase {
    const char* name;
    std::vector<std::optional<QString>> copies;  // none = non-text content
    QStringList expected;                        // newest first
};

class BufferCheckerPolling : public ::testing::TestWithParam<CopyCase> {};

TEST_P(BufferCheckerPolling, HistoryFollowsTheRules) {
    EngineHarness h;
    h.start();
    for (const auto& copy : GetParam().copies) {
        h.pasteboard.copyFromOtherApp(copy);
        const auto seen = h.pasteboard.reads;
        // Let at least one full pass look at this copy before the next one.
        ASSERT_TRUE(h.pumpUntil([&] { return h.pasteboard.reads > seen; }));
    }
    h.pumpFor(20ms);
    EXPECT_EQ(h.engine.bufferArray, GetParam().expected);
}

const QString eAcute = QString::fromUtf8("\xC3\xA9");       // é, one code point
const QString eCombining = QString::fromUtf8("e\xCC\x81");  // e + U+0301
const QString eGrave = QString::fromUtf8("e\xCC\x80");      // e + U+0300, another letter
// e with cedilla and acute, neither in composed form: the marks in either order.
const QString marksOneWay = QString::fromUtf8("e\xCC\xA7\xCC\x81");
const QString marksOtherWay = QString::fromUtf8("e\xCC\x81\xCC\xA7");

INSTANTIATE_TEST_SUITE_P(
    Engine, BufferCheckerPolling,
    ::testing::Values(
        CopyCase{"ThreeDistinctNewestFirst", {"A", "B", "C"}, {"C", "B", "A"}},
        CopyCase{"ABAKeepsTheDuplicate", {"A", "B", "A"}, {"A", "B", "A"}},
        CopyCase{"SameTextTwiceIsOneEntry", {"A", "A"}, {"A"}},
        CopyCase{"EmptyClipboardAddsNothing", {std::nullopt}, {}},
        CopyCase{"NonTextBetweenCopiesAddsNothing", {"A", std::nullopt, "B"}, {"B", "A"}},
        CopyCase{"EmptyTextIsAText", {"A", ""}, {"", "A"}},
        CopyCase{"CanonicallyEqualTextsAreOne", {eAcute, eCombining}, {eAcute}},
        CopyCase{"OtherAccentsAreAnotherText", {eAcute, eGrave}, {eGrave, eAcute}},
        CopyCase{"MarksInEitherOrderAreOne", {marksOneWay, marksOtherWay}, {marksOneWay}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BufferChecker, SameTextIsAddedAgainAfterTheHistoryWasEmptied) {
    EngineHarness h;
    h.start();
    ASSERT_TRUE(h.copyAndExpect("A", {"A"}));
    h.engine.history().replaceAll({});  // the history emptied, the clipboard kept
    ASSERT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray == QStringList{"A"}; }));
}

TEST(BufferChecker, ACopyDuringAPauseIsPickedUpAfterTheResume) {
    EngineHarness h;
    h.start();
    ASSERT_TRUE(h.copyAndExpect("A", {"A"}));
    h.engine.pauseUpdates();
    h.pasteboard.copyFromOtherApp("B");
    h.pumpFor(30ms);
    EXPECT_EQ(h.engine.bufferArray, QStringList{"A"});
    h.engine.resumeUpdates();
    EXPECT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray == QStringList({"B", "A"}); }));
}

TEST(BufferChecker, ACopyGoesBelowAPinnedRowOneAndIsNotAddedAgain) {
    // The history may place a new text below pinned rows, and the text is not
    // added again while it stays on the clipboard.
    EngineHarness h;
    h.engine.history().replaceAll({"P"});
    h.engine.history().setPinned(1, true);
    h.start();
    ASSERT_TRUE(h.copyAndExpect("C", {"P", "C"}));
    h.pumpFor(30ms);
    EXPECT_EQ(h.engine.bufferArray, QStringList({"P", "C"}));
}

TEST(BufferChecker, AnUnchangedClipboardIsNotReadAgain) {
    EngineHarness h;
    h.start();
    ASSERT_TRUE(h.copyAndExpect(QString(1 << 20, QLatin1Char('x')), {QString(1 << 20, 'x')}));
    const int readsAfterAdd = h.pasteboard.reads;
    h.pumpFor(50ms);
    EXPECT_EQ(h.pasteboard.reads, readsAfterAdd);
}

TEST(BufferChecker, AnIdleEngineLeavesTheMainThreadAlone) {
    EngineHarness h;
    h.start();
    ASSERT_TRUE(h.copyAndExpect("A", {"A"}));
    h.pumpFor(20ms);
    // Dozens of passes run in this span; none may need the main thread.
    int steps = 0;
    const auto until = std::chrono::steady_clock::now() + 100ms;
    while (std::chrono::steady_clock::now() < until) {
        steps += h.mainThread.runPending();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(steps, 0);
    // A change still gets through at once.
    EXPECT_TRUE(h.copyAndExpect("B", {"B", "A"}));
}

TEST(BufferChecker, WithoutChangeReportsEveryPassLooks) {
    // A platform that does not report other owners' copies (macOS) still
    // gets every copy through the plain quarter-second polling.
    EngineHarness h(2ms, false);
    h.start();
    ASSERT_TRUE(h.copyAndExpect("A", {"A"}));
    ASSERT_TRUE(h.copyAndExpect("B", {"B", "A"}));
    EXPECT_TRUE(h.copyAndExpect("A", {"A", "B", "A"}));
}

TEST(BufferChecker, AnEditOfEntryZeroMakesTheNextPassLookAgain) {
    // The clipboard did not change, but entry 0 did: the next pass must compare
    // anew, exactly as a pass that always reads would.
    EngineHarness h;
    h.start();
    ASSERT_TRUE(h.copyAndExpect("A", {"A"}));
    ASSERT_TRUE(h.copyAndExpect("B", {"B", "A"}));
    h.engine.lastAdded = "X";      // as if B had been written back by a paste
    h.engine.history().noteCut();  // an edit after a cut leaves the clipboard alone
    h.engine.history().edit(1, "edited");
    EXPECT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray.size() == 3; }));
    EXPECT_EQ(h.engine.bufferArray, QStringList({"B", "edited", "A"}));
}

TEST(BufferChecker, PauseRacingPollingNeverDeadlocksNorLosesAPass) {
    EngineHarness h(0ms);
    h.start();
    std::atomic<bool> finished = false;
    std::thread watchdog([&] {
        for (int i = 0; i < 600 && !finished; ++i) std::this_thread::sleep_for(100ms);
        if (!finished) {
            ADD_FAILURE() << "pause and polling deadlocked";
            std::abort();
        }
    });
    for (int round = 0; round < 1000; ++round) {
        const QString text = QString::number(round);
        h.engine.pauseUpdates();
        const int readsBefore = h.pasteboard.reads;
        h.pasteboard.copyFromOtherApp(text);
        for (int i = 0; i < 3; ++i) {
            h.mainThread.runPending();
            std::this_thread::yield();
        }
        EXPECT_EQ(h.pasteboard.reads, readsBefore) << "a pass looked during the pause";
        h.engine.resumeUpdates();
        ASSERT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray.value(0) == text; }))
            << "the copy made during pause " << round << " was lost";
    }
    EXPECT_EQ(h.engine.bufferArray.size(), 1000);
    finished = true;
    watchdog.join();
}

}  // namespace
