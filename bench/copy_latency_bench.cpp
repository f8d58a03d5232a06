// SPDX-License-Identifier: MIT
// Copy-to-history latency: another process takes the clipboard (xclip), and
// the clock runs until the text is in the history. Measured for Tarnwick
// in-process (the real window, engine and the X11 pasteboard on the xcb platform of
// a private Xvfb) and for a peer clipboard manager (CopyQ) from outside,
// through its scripting command line.
//
//   copy_latency_bench [--subject tarnwick|copyq] [--copies N] [--seed S]
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "common/Copier.h"
#include "common/PeerSession.h"
#include "common/Stats.h"
#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/qt/QtMainThread.h"
#include "support/Fakes.h"
#include "ui/UserInterface.h"

namespace tarnwick::bench {
namespace {

struct Options {
    std::string subject = "tarnwick";
    int copies = 60;
    unsigned seed = 7;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--subject") options.subject = argv[i + 1];
        if (name == "--copies") options.copies = std::atoi(argv[i + 1]);
        if (name == "--seed") options.seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
    }
    return options;
}

std::vector<std::string> distinctTexts(const Options& options) {
    std::mt19937 random(options.seed);
    std::vector<std::string> texts;
    for (int i = 0; i < options.copies; ++i)
        texts.push_back("latency " + std::to_string(i) + " " + std::to_string(random()));
    return texts;
}

// Milliseconds from each copy's ownership to its arrival; copies that never
// arrived are counted apart.
void report(const std::string& subject, const std::vector<std::string>& texts,
            const std::vector<double>& ownedAt, const std::map<std::string, double>& seenAt) {
    std::vector<double> latencies;
    int missed = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto seen = seenAt.find(texts[i]);
        if (seen == seenAt.end() || ownedAt[i] < 0) {
            ++missed;
            continue;
        }
        latencies.push_back((seen->second - ownedAt[i]) * 1000.0);
    }
    printSummary("copy_to_history_ms subject=" + subject, latencies);
    std::printf("copies_missed subject=%s %d\n", subject.c_str(), missed);
}

int runTarnwick(const e2e::XvfbSession& x, const std::vector<std::string>& texts, int argc,
                char** argv) {
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    const auto pasteboard = makePasteboard();
    QtMainThread mainThread;
    test::FakeKeySender keySender;
    test::FakeAlert alert;
    BufferChecker engine(*pasteboard, mainThread);
    UserInterface window({engine, keySender, alert});
    std::map<std::string, double> seenAt;
    // The moment the row is inserted is the moment the text joins the history.
    HistoryModel& history = engine.history();
    QObject::connect(&history, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int) {
                         seenAt.emplace(history.text(first + 1).toStdString(), wallSeconds());
                     });
    window.help();
    engine.startPolling();

    Copier copier({.display = x.display(), .texts = texts});
    copier.start();
    QTimer check;
    double doneAt = -1;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!copier.done()) return;
        if (doneAt < 0) doneAt = wallSeconds();
        // The last copy gets a second to arrive.
        if (seenAt.size() >= texts.size() || wallSeconds() - doneAt > 1.0) app.quit();
    });
    check.start(20);
    app.exec();
    copier.join();
    report("tarnwick", texts, copier.ownedAt(), seenAt);
    engine.pauseUpdates();
    QCoreApplication::sendPostedEvents();
    return 0;
}

int runCopyq(const e2e::XvfbSession& x, const std::vector<std::string>& texts) {
    PeerSession peer(x);
    if (!peer.start()) {
        std::fprintf(stderr, "copyq did not start: %s\n", peer.error().c_str());
        return 1;
    }
    // One long-lived script polls the peer's history every millisecond and
    // prints when each text arrived (wall-clock milliseconds). It ends at the
    // last text, or at its deadline when the peer never got that one.
    const std::size_t limitMs = texts.size() * 1500 + 10000;
    std::ostringstream script;
    script << "var seen = []; var last = count(); var deadline = Date.now() + " << limitMs
           << ";\nvar done = false;\n"
           << "while (!done && Date.now() < deadline) {\n"
           << "  sleep(1); var c = count();\n"
           << "  if (c != last) { last = c; var t = str(read(0));\n"
           << "    seen.push(String(Date.now()) + ' ' + t); done = t == '" << texts.back()
           << "'; }\n"
           << "}\nprint(seen.join('\\n') + '\\n');\n";
    auto watcher = peer.eval(script.str());
    Copier copier({.display = x.display(), .texts = texts});
    copier.start();
    copier.join();
    watcher->waitForExit(std::chrono::milliseconds(limitMs + 5000));
    std::map<std::string, double> seenAt;
    std::istringstream lines(watcher->standardOutput());
    for (std::string line; std::getline(lines, line);) {
        const auto space = line.find(' ');
        if (space == std::string::npos) continue;
        seenAt.emplace(line.substr(space + 1), std::atof(line.substr(0, space).c_str()) / 1000.0);
    }
    report("copyq", texts, copier.ownedAt(), seenAt);
    return 0;
}

}  // namespace
}  // namespace tarnwick::bench

int main(int argc, char** argv) {
    using namespace tarnwick;
    bench::prepareThreadedX();
    const bench::Options options = bench::parse(argc, argv);
    e2e::XvfbSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", x.error().c_str());
        return 1;
    }
    const auto texts = bench::distinctTexts(options);
    if (options.subject == "copyq") return bench::runCopyq(x, texts);
    return bench::runTarnwick(x, texts, argc, argv);
}
