// The whole program's core under load, in-process: the real window, engine
// and QtPasteboard on a private Xvfb, while another process (stress_copier)
// copies thousands of distinct texts at 50 per second and the test edits,
// moves, pins and deletes rows and pastes by index as the hot keys do. Every
// operation is checked against a model of the history at once; at the end
// the arrivals are checked against what was copied.
//
// TARNWICK_STRESS_COPIES sets the number of copies: 1500 by default (about 45
// seconds, for CI); 2000 or more for a longer run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <thread>

#include "HistoryModel.h"
#include "app/Globals.h"
#include "harness/Process.h"
#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "platform/qt/QtMainThread.h"
#include "platform/qt/QtPasteboard.h"
#include "support/FakeServices.h"
#include "ui/CopiedTextField.h"
#include "ui/DocumentView.h"
#include "ui/FieldEditor.h"
#include "ui/IndexTextField.h"
#include "ui/RowModel.h"
#include "ui/UserInterface.h"

namespace tarnwick::stress {
namespace {

using namespace std::chrono_literals;
const e2e::XvfbSession* session = nullptr;
std::atomic<int> refusedWrites{0};

// Counts the clipboard writes the X server refused: another client took the
// selection with a newer timestamp, so its copy rightly wins.
void countRefusedWrites(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("Cannot set X11 selection owner"))) {
        ++refusedWrites;
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

int copiesWanted() {
    const char* value = std::getenv("TARNWICK_STRESS_COPIES");
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : 1500;
}

// What the copier reports: each text and how long it really held the clipboard.
struct Copied {
    QStringList texts;
    std::vector<double> held;
};

Copied parseCopierReport(const std::string& output) {
    Copied copied;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("copy ", 0) != 0) continue;
        const auto space = line.find(' ', 5);
        if (space == std::string::npos) continue;
        copied.held.push_back(std::atof(line.substr(5, space - 5).c_str()));
        copied.texts << QString::fromStdString(line.substr(space + 1));
    }
    return copied;
}

class StressTest : public testing::Test {
protected:
    StressTest() : ui({engine, keySender, alert}) {
        bufferChecker = &engine;
        tarnwick::ui = &ui;
        engine.setRowAdder([this](const QString& text) {
            arrivals << text;
            if (!operationRunning) model.arrive(text);
            return ui.addTextField(text);
        });
    }
    ~StressTest() override {
        engine.pauseUpdates();
        QCoreApplication::sendPostedEvents();
        tarnwick::ui = nullptr;
        bufferChecker = nullptr;
    }

    DocumentView& doc() { return *ui.documentView; }
    int rowCount() const { return static_cast<int>(engine.bufferArray.size()); }
    UserInterface::CopiedTextField* copied(int row) {
        return static_cast<UserInterface::CopiedTextField*>(
            doc().at(rowmodel::copiedPosition(doc().count(), row)));
    }
    UserInterface::IndexTextField* index(int row) {
        return static_cast<UserInterface::IndexTextField*>(
            doc().at(rowmodel::indexPosition(doc().count(), row)));
    }
    void click(const RowField* field) {
        QTest::mouseClick(&doc(), Qt::LeftButton, Qt::NoModifier, doc().qtRect(field).center());
    }
    void type(const QString& text) {
        for (const QChar c : text) QTest::keyClick(doc().editor(), c.toLatin1());
    }

    // The rows as the window and the engine hold them; they must agree.
    HistoryModel::Rows actualRows() {
        EXPECT_EQ(doc().rowTexts(), engine.bufferArray);
        const std::vector<bool> pins = doc().pinnedBySlot();
        HistoryModel::Rows rows;
        for (int i = 0; i < rowCount(); ++i)
            rows.push_back(
                {engine.bufferArray[i], pins[pins.size() - 1 - static_cast<std::size_t>(i)]});
        return rows;
    }

    // Runs one window operation and checks the history against the model.
    void perform(const char* what, const HistoryModel::Operation& expected,
                 const std::function<void()>& action) {
        const qsizetype before = arrivals.size();
        operationRunning = true;
        action();
        operationRunning = false;
        const QStringList during = arrivals.mid(before);
        const HistoryModel::Rows actual = actualRows();
        if (!model.apply(expected, during, actual)) {
            ADD_FAILURE() << what << " left the history at\n  "
                          << HistoryModel::describe(actual).toStdString() << "\nexpected\n  "
                          << HistoryModel::describe(model.rows()).toStdString();
            failed = true;
        }
    }

    void randomOperation();
    bool copierIsHolding(e2e::Process& copier);
    void pasteByIndex();
    void editRow(int row);
    void moveRow(int row);

    QtPasteboard pasteboard;
    QtMainThread mainThread;
    test::FakeKeySender keySender;
    test::FakeAlert alert;
    BufferChecker engine{pasteboard, mainThread};
    UserInterface ui;
    HistoryModel model;
    QStringList arrivals;
    bool operationRunning = false;
    bool failed = false;
    std::mt19937 random{2026};
    int edits = 0;
    std::map<std::string, int> counts;
    int holdsSeen = 0;
    std::chrono::steady_clock::time_point restUntil{};
};

// While the copier holds a text longer, the test writes nothing to the
// clipboard, so that such texts must reach the history.
bool StressTest::copierIsHolding(e2e::Process& copier) {
    const std::string output = copier.standardOutput();
    int holds = 0;
    for (std::size_t at = output.find("hold "); at != std::string::npos;
         at = output.find("hold ", at + 1))
        ++holds;
    if (holds > holdsSeen) {
        holdsSeen = holds;
        restUntil = std::chrono::steady_clock::now() + 800ms;
    }
    return std::chrono::steady_clock::now() < restUntil;
}

void StressTest::pasteByIndex() {
    const int at = std::uniform_int_distribution(0, 9)(random);
    const int before = rowCount();
    bool pasted = false;
    perform(
        "paste by index", [](HistoryModel::Rows&) {},
        [&] { pasted = engine.pasteItemAtIndex(at); });
    // A catch-up arrival may only add rows, so an index that existed is
    // pasted, unless the X server refused the write (another owner with a
    // newer timestamp): then the key passes unchanged.
    if (at < before && !pasted) ++counts["paste write refused"];
    if (at >= rowCount()) {
        EXPECT_FALSE(pasted) << "index " << at << " of " << rowCount();
    }
}

void StressTest::editRow(int row) {
    const QString original = engine.bufferArray[row - 1];
    const QString suffix = QStringLiteral("~e%1").arg(++edits);
    perform("edit", HistoryModel::edit(original, original + suffix), [&] {
        UserInterface::CopiedTextField* field = copied(row);
        click(field);
        QTest::keyClick(doc().editor(), Qt::Key_End);
        type(suffix);
        doc().endEditing();
    });
}

void StressTest::moveRow(int row) {
    // Mostly numbers (some beyond either end), sometimes a refused text.
    const int pick = std::uniform_int_distribution(-2, rowCount() + 3)(random);
    const QString typed = pick == rowCount() + 3 ? QStringLiteral("x") : QString::number(pick);
    const QString text = engine.bufferArray[row - 1];
    perform("move", HistoryModel::move(text, typed), [&] {
        click(index(row));
        type(typed);
        QTest::keyClick(doc().editor(), Qt::Key_Return);
        doc().endEditing();
    });
}

void StressTest::randomOperation() {
    const int kind = std::uniform_int_distribution(0, 99)(random);
    const int visible = std::min(rowCount(), 10);
    if (kind < 35 || visible == 0) {
        ++counts["paste"];
        return pasteByIndex();
    }
    const int row = std::uniform_int_distribution(1, visible)(random);
    const QString text = engine.bufferArray[row - 1];
    if (text.isEmpty()) return;  // filler rows are alike: leave them to the rules
    if (kind < 55) {
        ++counts["edit"];
        editRow(row);
    } else if (kind < 75) {
        ++counts["move"];
        moveRow(row);
    } else if (kind < 90) {
        ++counts["pin"];
        perform("pin", HistoryModel::togglePin(text), [&] { index(row)->togglePinned(); });
    } else {
        ++counts["delete"];
        perform("delete", HistoryModel::remove(text), [&] { copied(row)->deleteRow(); });
    }
}

TEST_F(StressTest, CopiesAtFiftyPerSecondWhileTheWindowIsWorked) {
    ui.help();
    engine.startPolling();
    const int copies = copiesWanted();
    e2e::Process copier(
        {.argv = {TARNWICK_STRESS_COPIER, session->display(), std::to_string(copies)}});
    ASSERT_TRUE(copier.started()) << copier.error();

    // A hang becomes a failure with a message, not a silent timeout.
    std::atomic<std::int64_t> heartbeat{0};
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        int stillFor = 0;
        for (std::int64_t last = -1; !finished; std::this_thread::sleep_for(1s)) {
            const std::int64_t now = heartbeat.load();
            stillFor = now == last ? stillFor + 1 : 0;
            last = now;
            if (stillFor >= 15) {
                std::fprintf(stderr, "stress: the main thread made no progress for 15 s\n");
                std::abort();
            }
        }
    });

    // Delete All once, about 60 % through the copying (a copy every 27 ms on
    // average, an operation every 100 ms).
    const std::int64_t deleteAllTick = copies * 16 / 100;
    QTimer operations;
    QObject::connect(&operations, &QTimer::timeout, [&] {
        ++heartbeat;
        if (!copier.running()) {
            QCoreApplication::quit();
        } else if (heartbeat == deleteAllTick && rowCount() > 0) {
            ++counts["delete all"];
            perform("delete all", HistoryModel::removeAll(), [&] { copied(1)->deleteAll(); });
        } else if (!failed && !copierIsHolding(copier)) {
            randomOperation();
        }
    });
    operations.start(100);
    QCoreApplication::exec();
    finished = true;
    watchdog.join();
    ASSERT_EQ(copier.waitForExit(10s), 0) << copier.standardError();

    // The last copy is polled within a pass or two.
    QTest::qWait(600);
    perform(
        "settling", [](HistoryModel::Rows&) {}, [] {});
    const Copied copied = parseCopierReport(copier.standardOutput());
    ASSERT_EQ(copied.texts.size(), copies);

    // Arrivals: copied texts only, each once, in the order they were copied.
    qsizetype next = 0;
    for (const QString& text : arrivals) {
        const qsizetype at = copied.texts.indexOf(text, next);
        ASSERT_GE(at, 0) << "arrived but never copied, or out of order: " << text.toStdString();
        next = at + 1;
    }
    // Whatever held the clipboard long enough for two passes arrived.
    int heldLong = 0;
    for (qsizetype i = 0; i < copied.texts.size(); ++i) {
        if (copied.held[static_cast<std::size_t>(i)] < 0.6) continue;
        ++heldLong;
        EXPECT_TRUE(arrivals.contains(copied.texts[i]))
            << copied.texts[i].toStdString() << " held " << copied.held[static_cast<std::size_t>(i)]
            << " s";
    }
    EXPECT_GT(heldLong, 0) << "no copy held the clipboard long enough to check";
    std::printf(
        "stress: %d copies, %lld arrivals, %d held >= 0.6 s, %d rows at the end, %d "
        "clipboard writes refused by the X server;",
        copies, static_cast<long long>(arrivals.size()), heldLong, rowCount(),
        refusedWrites.load());
    for (const auto& [name, count] : counts) std::printf(" %s %d", name.c_str(), count);
    std::printf("\n");
}

}  // namespace
}  // namespace tarnwick::stress

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    tarnwick::e2e::XvfbSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", x.error().c_str());
        return 1;
    }
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    tarnwick::stress::session = &x;
    qInstallMessageHandler(tarnwick::stress::countRefusedWrites);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
