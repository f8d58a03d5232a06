#include <gtest/gtest.h>

#include "support/EngineHarness.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

// An engine whose history is {"C", "B", "A"} with "C" on the clipboard, as
// polling leaves it. Polling itself only runs where a test starts it; the test
// thread plays the main thread and moves the manual clock.
struct PasteHarness : EngineHarness {
    PasteHarness() : EngineHarness(250ms) {
        engine.history().replaceAll({"C", "B", "A"});
        engine.lastAdded = "C";
        pasteboard.copyFromOtherApp("C");
        engine.publish();
    }
    std::optional<QString> clipboard() const { return pasteboard.string(); }
    bool pollingAllowed() const { return engine.updateBuffer.value(); }
};

const QStringList history{"C", "B", "A"};

TEST(PasteByIndex, PutsTheEntryOnTheClipboardAndEntryZeroBackAfterAQuarterSecond) {
    PasteHarness h;
    ASSERT_TRUE(h.engine.pasteItemAtIndex(2));
    EXPECT_EQ(h.clipboard(), "A");
    EXPECT_FALSE(h.pollingAllowed());
    h.mainThread.advance(249ms);
    EXPECT_EQ(h.clipboard(), "A");
    EXPECT_FALSE(h.pollingAllowed());
    h.mainThread.advance(1ms);
    EXPECT_EQ(h.clipboard(), "C");
    EXPECT_TRUE(h.pollingAllowed());
    EXPECT_EQ(h.engine.bufferArray, history);
}

TEST(PasteByIndex, EntryZeroIsWrittenAndRestored) {
    PasteHarness h;
    const int clearsBefore = h.pasteboard.clears;
    ASSERT_TRUE(h.engine.pasteItemAtIndex(0));
    EXPECT_EQ(h.clipboard(), "C");
    EXPECT_EQ(h.pasteboard.writes, QStringList{"C"});
    EXPECT_EQ(h.pasteboard.clears, clearsBefore);  // replaced in one step, never cleared first
    h.mainThread.advance(250ms);
    EXPECT_EQ(h.clipboard(), "C");
    EXPECT_TRUE(h.pollingAllowed());
    EXPECT_EQ(h.engine.bufferArray, history);
}

TEST(PasteByIndex, AnIndexOutsideTheHistoryLeavesClipboardAndPollingAlone) {
    for (const int index : {3, 4, 9, -1}) {
        PasteHarness h;
        EXPECT_FALSE(h.engine.pasteItemAtIndex(index)) << index;
        EXPECT_TRUE(h.pasteboard.writes.isEmpty()) << index;
        EXPECT_EQ(h.pasteboard.clears, 0) << index;
        EXPECT_EQ(h.clipboard(), "C") << index;
        EXPECT_TRUE(h.pollingAllowed()) << index;
        EXPECT_EQ(h.mainThread.delayedCount(), 0u) << index;
    }
}

TEST(PasteByIndex, OverlappingPastesKeepTheLatestEntryAQuarterSecondAndAddNothing) {
    PasteHarness h;
    h.start();
    ASSERT_TRUE(h.engine.pasteItemAtIndex(2));
    h.mainThread.advance(100ms);
    // The second paste must not mistake the first one's text for a new copy.
    ASSERT_TRUE(h.engine.pasteItemAtIndex(1));
    EXPECT_EQ(h.clipboard(), "B");
    EXPECT_EQ(h.engine.bufferArray, history);
    // The first paste's resume must leave the second entry for the
    // application that is about to read it.
    h.mainThread.advance(150ms);
    EXPECT_EQ(h.clipboard(), "B");
    EXPECT_FALSE(h.pollingAllowed());
    h.mainThread.advance(99ms);
    EXPECT_EQ(h.clipboard(), "B");
    h.mainThread.advance(1ms);  // a quarter second after the second paste
    EXPECT_EQ(h.clipboard(), "C");
    EXPECT_TRUE(h.pollingAllowed());
    // The resume reported a change; wait until a polling pass has looked at it.
    ASSERT_TRUE(h.engine.publishedMayHaveUnpolledCopy());
    ASSERT_TRUE(h.pumpUntil([&] { return !h.engine.publishedMayHaveUnpolledCopy(); }, 2s));
    EXPECT_EQ(h.engine.bufferArray, history);
}

TEST(PasteByIndex, ACopyDuringTheQuarterSecondIsKeptAndThenPolled) {
    PasteHarness h;
    h.start();
    ASSERT_TRUE(h.engine.pasteItemAtIndex(1));
    h.pasteboard.copyFromOtherApp("X");
    h.engine.clipboardMayHaveChanged();
    h.pumpFor(30ms);
    EXPECT_EQ(h.engine.bufferArray, history) << "polling looked while paused";
    h.mainThread.advance(250ms);
    EXPECT_EQ(h.clipboard(), "X");
    EXPECT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray.value(0) == "X"; }));
    EXPECT_EQ(h.engine.bufferArray, QStringList({"X", "C", "B", "A"}));
}

TEST(PasteByIndex, ACopyNotYetPolledBecomesEntryZeroBeforeThePaste) {
    PasteHarness h;
    h.pasteboard.copyFromOtherApp("D");
    ASSERT_TRUE(h.engine.pasteItemAtIndex(0));
    EXPECT_EQ(h.clipboard(), "D");
    EXPECT_EQ(h.engine.bufferArray, QStringList({"D", "C", "B", "A"}));
    h.mainThread.advance(250ms);
    EXPECT_EQ(h.clipboard(), "D");

    PasteHarness shifted;
    shifted.pasteboard.copyFromOtherApp("D");
    ASSERT_TRUE(shifted.engine.pasteItemAtIndex(3));  // one beyond the old history
    EXPECT_EQ(shifted.clipboard(), "A");
}

TEST(PasteByIndex, ARefusedWriteIsReportedRestoredAndFails) {
    PasteHarness h;
    h.pasteboard.refuseWrites = true;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(h.engine.pasteItemAtIndex(1));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed edit pasteboard\n");
    EXPECT_FALSE(h.pollingAllowed());
    h.pasteboard.refuseWrites = false;
    h.mainThread.advance(250ms);
    EXPECT_TRUE(h.pollingAllowed());
    EXPECT_EQ(h.clipboard(), "C") << "entry 0 must come back after the failed paste";
    EXPECT_EQ(h.engine.bufferArray, history);
}

TEST(PasteByIndex, PublishesTheClipboardStateForTheKeyFilterThread) {
    PasteHarness h;
    EXPECT_EQ(h.engine.publishedLength(), 3);
    EXPECT_FALSE(h.engine.publishedPasteNeedsRewrite());
    ASSERT_TRUE(h.engine.pasteItemAtIndex(2));
    EXPECT_TRUE(h.engine.publishedPasteNeedsRewrite()) << "entry 2 is on the clipboard";
    h.mainThread.advance(250ms);
    EXPECT_FALSE(h.engine.publishedPasteNeedsRewrite());
}

}  // namespace
