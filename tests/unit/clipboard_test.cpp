// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <thread>

#include "platform/KeyTap.h"
#include "platform/PasteboardWatch.h"
#include "support/Fakes.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

const QString eAcute = QString::fromUtf8("\xC3\xA9");       // é, one code point
const QString eCombining = QString::fromUtf8("e\xCC\x81");  // e + U+0301
const QString eGrave = QString::fromUtf8("e\xCC\x80");      // e + U+0300, another letter
// e with cedilla and acute, neither composed: the marks in either order are one text.
const QString marksOneWay = QString::fromUtf8("e\xCC\xA7\xCC\x81");
const QString marksOtherWay = QString::fromUtf8("e\xCC\x81\xCC\xA7");

// With and without change reports (macOS has none), and read off the main thread (X11), where
// a copy's read reaches the main thread after the next copy: still a copy.
TEST(BufferCheckerPolling, HistoryFollowsTheRules) {
    // The copies (none = non-text content), then the history, newest first.
    const std::pair<std::vector<std::optional<QString>>, QStringList> cases[] = {
        {{"A", "B", "A"}, {"A", "B", "A"}},
        {{"A", "A"}, {"A"}},
        {{"A", std::nullopt, "B"}, {"B", "A"}},
        {{"A", ""}, {"", "A"}},
        {{eAcute, eCombining}, {eAcute}},
        {{eCombining, eGrave}, {eGrave, eCombining}},  // as long, another letter
        {{marksOneWay, marksOtherWay}, {marksOneWay}}};
    for (const auto& [reporting, offMain] : {std::pair{true, false}, {false, false}, {true, true}})
        for (const auto& [copies, expected] : cases) {
            EngineHarness h(2ms, reporting, offMain);
            h.start();
            h.pumpFor(20ms);  // the start-up look
            for (const auto& copy : copies) {
                const int seen = h.pasteboard.reads;  // one read per copy
                h.pasteboard.copyFromOtherApp(copy);
                // Off the main thread, the previous copy's step runs only now, behind this one.
                if (offMain && &copy != &copies.front()) {
                    ASSERT_TRUE(h.waitUntil([&] { return h.mainThread.hasPending(); }));
                    h.mainThread.runPending();
                    // Published as taken: the key thread may offer its row before the next read.
                    EXPECT_EQ(h.engine.publishedLength(), h.engine.bufferArray.size());
                }
                const auto read = [&] { return h.pasteboard.reads > seen; };
                ASSERT_TRUE(offMain ? h.waitUntil(read) : h.pumpUntil(read));
            }
            h.pumpFor(20ms);
            EXPECT_EQ(h.engine.bufferArray, expected) << expected.join(',').toStdString();
        }
}

// An owner that leaves once its copy is read (wl-copy --paste-once) empties the clipboard while
// the main thread takes that read: the copy is kept all the same.
TEST(BufferCheckerPolling, ACopyIsKeptWhenTheClipboardEmptiesAsItsReadIsTaken) {
    EngineHarness h(2ms, true, true);
    h.start();
    h.pumpFor(20ms);
    h.pasteboard.copyFromOtherApp("epsilon");
    ASSERT_TRUE(h.waitUntil([&] { return h.mainThread.hasPending(); }));  // read, its step due
    h.pasteboard.moveOnAfterCount = [&] { h.pasteboard.copyFromOtherApp(std::nullopt); };
    EXPECT_TRUE(h.historyBecomes({"epsilon"}));
}

// Idle, the engine neither reads nor wakes the main thread. The clipboard's text is taken again
// once no longer entry 0; a refused edit of entry 0 is reported and kept, and polling goes on.
TEST(BufferChecker, IdleQuietlyAndLookAgainWhenEntryZeroIsEditedOrTheHistoryEmptied) {
    EngineHarness h;
    h.start();
    const QString big(1 << 20, 'x');
    ASSERT_TRUE(h.copyAndExpect(big, {big}));
    h.pumpFor(20ms);
    const int reads = h.pasteboard.reads;
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(h.mainThread.hasPending());
    EXPECT_EQ(h.pasteboard.reads, reads);
    ASSERT_TRUE(h.copyAndExpect("B", {"B", big}));
    h.engine.lastAdded = "X";         // as if B had been written back by a paste
    h.engine.history().noteCut();     // an edit after a cut leaves the clipboard alone
    h.engine.history().edit(1, "E");  // as long as B: a new text, not a new length
    EXPECT_TRUE(h.historyBecomes({"B", "E", big}));
    h.engine.history().replaceAll({});  // the history emptied, the clipboard kept
    EXPECT_TRUE(h.historyBecomes({"B"}));
    h.pasteboard.refuseWrites = true;
    ::testing::internal::CaptureStdout();
    h.engine.history().edit(1, "q");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "failed edit pasteboard\n");
    EXPECT_EQ(h.engine.bufferArray, QStringList{"q"});
    EXPECT_TRUE(h.engine.updateBuffer.value());
}

// Also the copy made during a pause: not looked at, then picked up. A deadlock
// shows as the test's time-out.
TEST(BufferChecker, PauseRacingPollingNeverDeadlocksNorLosesAPass) {
    EngineHarness h(0ms);
    h.start();
    for (int round = 0; round < 1000; ++round) {
        const QString text = QString::number(round);
        h.engine.pauseUpdates();
        const int readsBefore = h.pasteboard.reads;
        h.pasteboard.copyFromOtherApp(text);
        for (int i = 0; i < 3; ++i, std::this_thread::yield()) h.mainThread.runPending();
        EXPECT_EQ(h.pasteboard.reads, readsBefore) << "a pass looked during the pause";
        h.engine.resumeUpdates();
        ASSERT_TRUE(h.pumpUntil([&] { return h.engine.bufferArray.value(0) == text; })) << round;
    }
    EXPECT_EQ(h.engine.bufferArray.size(), 1000);
}

const QStringList history{"C", "B", "A"};

// Entry 0 comes back a quarter second after the latest paste (handPasteHold after one typed by
// hand), unless another application copied meanwhile: that copy is kept and then polled. Off
// the main thread, the reads of the pastes' own writes arrive after the quarter second: no copies.
TEST(PasteByIndex, OverlappingPastesKeepTheLatestEntryAQuarterSecondAndACopyMeanwhileStays) {
    for (const bool offMain : {false, true}) {
        SCOPED_TRACE(offMain);
        PasteHarness h(offMain);
        h.start();
        ASSERT_TRUE(h.engine.pasteItemAtIndex(2));
        EXPECT_EQ(h.clipboard(), "A");
        h.mainThread.advance(100ms);
        // The second paste must not mistake the first one's text for a new copy...
        ASSERT_TRUE(h.engine.pasteItemAtIndex(1));
        EXPECT_EQ(h.clipboard(), "B");
        const int reads = h.pasteboard.reads;
        // (off the main thread, B's read is still queued when C is put back)
        if (offMain) h.waitUntil([&] { return h.pasteboard.reads > reads; });
        // ...and the first one's restore must leave it for the application reading it.
        h.mainThread.advance(249ms);
        EXPECT_EQ(h.clipboard(), "B");
        EXPECT_FALSE(h.engine.updateBuffer.value());
        h.mainThread.advance(1ms);
        EXPECT_EQ(h.clipboard(), "C");
        EXPECT_TRUE(h.engine.updateBuffer.value());
        ASSERT_TRUE(h.pumpUntil([&] { return !h.engine.publishedMayHaveUnpolledCopy(); }, 2s));
        EXPECT_EQ(h.engine.bufferArray, history);
        ASSERT_TRUE(h.engine.pasteItemAtIndex(1));
        h.pasteboard.copyFromOtherApp("X");
        h.pumpFor(30ms);
        EXPECT_EQ(h.engine.bufferArray, history) << "polling looked while paused";
        h.mainThread.advance(250ms);
        EXPECT_EQ(h.clipboard(), "X");
        EXPECT_TRUE(h.historyBecomes({"X", "C", "B", "A"}));
        // A paste the user types by hand finds its entry there for longer.
        ASSERT_TRUE(h.engine.pasteItemAtIndex(2, true));
        h.mainThread.advance(handPasteHold - 1ms);
        EXPECT_EQ(h.clipboard(), "B");
        h.mainThread.advance(1ms);
        EXPECT_EQ(h.clipboard(), "X");
    }
}

// An index outside the history, or a refused write (reported), fails; the
// clipboard, the history and polling are as before once the quarter second is over.
TEST(PasteByIndex, AFailedPasteLeavesClipboardHistoryAndPollingAlone) {
    for (const auto& [index, refused] : {std::pair{3, false}, {-1, false}, {1, true}}) {
        PasteHarness h;
        h.pasteboard.refuseWrites = refused;
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(h.engine.pasteItemAtIndex(index)) << index;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(),
                  refused ? "failed edit pasteboard\n" : "");
        EXPECT_TRUE(refused || h.engine.updateBuffer.value()) << index;
        h.pasteboard.refuseWrites = false;
        h.mainThread.advance(250ms);
        EXPECT_EQ(h.pasteboard.writes.isEmpty(), !refused) << index;
        EXPECT_TRUE(h.engine.updateBuffer.value()) << index;
        EXPECT_EQ(h.clipboard(), "C") << index;
        EXPECT_EQ(h.engine.bufferArray, history) << index;
    }
}

using Answer = PasteboardWatch::Answer;
constexpr auto allowed = PasteboardAccess::allowed;
constexpr auto ask = PasteboardAccess::ask;
constexpr auto denied = PasteboardAccess::denied;

TEST(PasteboardWatch, ReadsOnlyWhatChangedAndSaysADenialOncePerDenial) {
    // A look at a change count, or our own write (false); what the look answers.
    const std::tuple<bool, std::int64_t, PasteboardAccess, PasteboardWatch::Look> run[] = {
        {true, 0, ask, {Answer::read, false}},  // the first look always reads
        {true, 0, ask, {Answer::previous, false}},
        {true, 8, allowed, {Answer::read, false}},
        {true, 8, allowed, {Answer::previous, false}},
        {false, 9, allowed, {}},  // our write: known without reading
        {true, 9, ask, {Answer::previous, false}},
        {true, 10, denied, {Answer::none, true}},
        {true, 11, denied, {Answer::none, false}},  // said once, not at every pass
        {true, 11, denied, {Answer::none, false}},
        {false, 12, denied, {}},
        {true, 12, denied, {Answer::previous, false}},  // what we wrote needs no read
        {true, 13, denied, {Answer::none, false}},
        {true, 13, allowed, {Answer::read, false}},  // allowed again: the change is read
        {true, 14, denied, {Answer::none, true}}};   // a new denial is news again
    PasteboardWatch watch;
    for (const auto& [look, count, access, expected] : run) {
        if (look)
            EXPECT_EQ(watch.look(count, access), expected) << "count " << count;
        else
            watch.wrote(count);
    }
}

TEST(PasteboardItem, MarkedConcealedTransientOrAutoGeneratedIsNotRecorded) {
    const std::string_view text = "public.utf8-plain-text";
    const std::pair<std::vector<std::string_view>, bool> table[] = {
        {{text}, true},
        {{text, "org.nspasteboard.ConcealedType"}, false},
        {{"org.nspasteboard.TransientType", text}, false},
        {{text, "public.html", "org.nspasteboard.AutoGeneratedType"}, false},
        {{text, "org.nspasteboard.source"}, true},          // naming the source hides nothing
        {{text, "org.nspasteboard.concealedtype"}, false},  // identifiers ignore case
        {{"org.nspasteboard.ConcealedTypeX"}, true}};
    for (const auto& [types, recordable] : table) EXPECT_EQ(isRecordable(types), recordable);
}

}  // namespace
