// The real X clipboard in-process: QtPasteboard and the history engine under a
// QApplication on a private Xvfb, while xclip copies as another application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "harness/Clipboard.h"
#include "harness/Wait.h"
#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "platform/qt/QtMainThread.h"
#include "platform/qt/QtPasteboard.h"

namespace tarnwick::e2e {
namespace {

const XvfbSession* session = nullptr;

// Runs the Qt event loop, as the program's main thread would, between polls.
void pumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(2ms);
}

std::string pngImage() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

class ClipboardHistoryTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_FALSE(clipboard.hasOwner()) << "a previous test left the clipboard owned";
        engine.setRowAdder([this](const QString& text) {
            rows.prepend(text);
            return rows;
        });
        pasteboard.setChangeListener([this] { engine.clipboardMayHaveChanged(); });
        engine.startPolling();
    }

    void TearDown() override {
        pasteboard.setChangeListener({});
        // Stop the polling passes and run the last queued step while the
        // engine still exists.
        engine.pauseUpdates();
        QCoreApplication::sendPostedEvents();
    }

    bool historyBecomes(const QStringList& expected, std::chrono::milliseconds timeout = 500ms) {
        return waitUntil([&] { return engine.bufferArray == expected; }, timeout, pumpEvents);
    }

    // Lets Qt see the clipboard change and the engine make two passes over
    // it, so that an entry it should not add would have been added by now.
    void letTheEngineLook(std::uint64_t changesBefore) {
        waitUntil([&] { return pasteboard.changeCount() > changesBefore; }, 2s, pumpEvents);
        waitUntil([] { return false; }, 600ms, pumpEvents);
    }

    QtPasteboard pasteboard;
    QtMainThread mainThread;
    BufferChecker engine{pasteboard, mainThread};
    QStringList rows;
    Clipboard clipboard{*session};
};

TEST_F(ClipboardHistoryTest, CopiesFromAnotherApplicationArriveNewestFirst) {
    QStringList expected;
    for (const char* text : {"alpha", "beta", "gamma"}) {
        ASSERT_TRUE(clipboard.copyText(text));
        expected.prepend(QString::fromUtf8(text));
        EXPECT_TRUE(historyBecomes(expected))
            << "after copying " << text << ": " << engine.bufferArray.join('|').toStdString();
    }
}

// Content that must not become an entry of its own; each case ends with a
// plain copy, which must then be the only new entry.
struct BadInput {
    const char* name;
    void (*offer)(ClipboardHistoryTest&);
    QStringList expectedBeforeSentinel;
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

const BadInput badInputs[] = {
    {"EmptyClipboard", [](ClipboardHistoryTest&) {}, {}},
    {"ImageOnly",
     [](ClipboardHistoryTest& t) { ASSERT_TRUE(t.clipboard.copy(pngImage(), "image/png")); },
     {}},
    {"OwnerExits",
     [](ClipboardHistoryTest& t) {
         ASSERT_TRUE(t.clipboard.copyText("kept"));
         ASSERT_TRUE(t.historyBecomes({"kept"}));
         // Qt then reports a change with no text behind it.
         ASSERT_TRUE(t.clipboard.ownerExits());
     },
     {"kept"}},
    {"InvalidUtf8",
     [](ClipboardHistoryTest& t) {
         ASSERT_TRUE(t.clipboard.copy("\xff\xfe ok \xc3(", "UTF8_STRING"));
     },
     // Qt decodes what it is offered, with replacement characters: one entry.
     {QString::fromUtf8("\xff\xfe ok \xc3(")}},
};

class ClipboardBadInputTest : public ClipboardHistoryTest,
                              public ::testing::WithParamInterface<BadInput> {};

TEST_P(ClipboardBadInputTest, AddsNoSpuriousEntryAndKeepsWorking) {
    const std::uint64_t changesBefore = pasteboard.changeCount();
    GetParam().offer(*this);
    if (HasFatalFailure()) return;
    letTheEngineLook(changesBefore);
    EXPECT_EQ(engine.bufferArray, GetParam().expectedBeforeSentinel);

    ASSERT_TRUE(clipboard.copyText("sentinel"));
    QStringList expected = GetParam().expectedBeforeSentinel;
    expected.prepend(QStringLiteral("sentinel"));
    EXPECT_TRUE(historyBecomes(expected)) << engine.bufferArray.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Offers, ClipboardBadInputTest, ::testing::ValuesIn(badInputs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipboardHistoryTest, LargeTextArrivesWhole) {
    std::string large(50 * 1024 * 1024, 'x');
    for (std::size_t i = 0; i < large.size(); i += 4096) large[i] = '\n';
    large.replace(0, 5, "start");
    ASSERT_TRUE(clipboard.copyText(large));
    // A transfer of this size takes a while; what matters is that it arrives.
    ASSERT_TRUE(waitUntil([&] { return !engine.bufferArray.isEmpty(); }, 60s, pumpEvents));
    ASSERT_EQ(engine.bufferArray.size(), 1);
    EXPECT_EQ(engine.bufferArray.front().size(), static_cast<qsizetype>(large.size()));
    EXPECT_TRUE(engine.bufferArray.front() == QString::fromStdString(large));

    // The engine keeps working after it.
    ASSERT_TRUE(clipboard.copyText("small"));
    EXPECT_TRUE(waitUntil([&] { return engine.bufferArray.size() == 2; }, 5s, pumpEvents));
    EXPECT_EQ(engine.bufferArray.front(), QStringLiteral("small"));
}

}  // namespace
}  // namespace tarnwick::e2e

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no X server.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    tarnwick::e2e::XvfbSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", x.error().c_str());
        return 1;
    }
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    tarnwick::e2e::session = &x;
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
