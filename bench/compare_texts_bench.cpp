// Main-thread cost of adding one large copied text to the history, accented
// (French-like, about one letter in six decomposable) against plain ASCII of
// the same size. The new text differs from entry 0 only in its last letter,
// so every comparison has to look at the whole text. Canonical comparison
// must cost linear time: the accented figure should stay within twice the
// ASCII one.
//
//   compare_texts_bench [MB...]     (default: 1 3.5 30; each the median of five)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "history/BufferChecker.h"
#include "support/FakeMainThread.h"
#include "support/FakePasteboard.h"

namespace tarnwick::bench {
namespace {

// About megabytes million characters; accented letters are precomposed (NFC), as
// text copied from real applications is.
QString makeText(double megabytes, bool accented, QChar last) {
    static const QString words[] = {QStringLiteral("été "),     QStringLiteral("déjà "),
                                    QStringLiteral("garçon "),  QStringLiteral("fenêtre "),
                                    QStringLiteral("le "),      QStringLiteral("maison "),
                                    QStringLiteral("à "),       QStringLiteral("très ")};
    static const QString plain[] = {QStringLiteral("ete "),    QStringLiteral("deja "),
                                    QStringLiteral("garcon "), QStringLiteral("fenetre "),
                                    QStringLiteral("le "),     QStringLiteral("maison "),
                                    QStringLiteral("a "),      QStringLiteral("tres ")};
    const qsizetype target = static_cast<qsizetype>(megabytes * 1024 * 1024);
    QString text;
    text.reserve(target);
    for (std::size_t i = 0; text.size() < target; ++i) {
        text += accented ? words[i % 8] : plain[i % 8];
    }
    text += last;
    return text;
}

double secondsToAdd(const QString& entryZero, const QString& copied) {
    test::FakePasteboard pasteboard;
    test::FakeMainThread mainThread;
    BufferChecker engine(pasteboard, mainThread, std::chrono::milliseconds(1));
    engine.bufferArray = {entryZero};
    engine.lastAdded = entryZero;
    engine.publish();
    pasteboard.copyFromOtherApp(copied);
    engine.startPolling();
    const auto start = std::chrono::steady_clock::now();
    // Drain the main thread until the copy is in: the step (read, two
    // comparisons, add) and the publication that follows it.
    while (engine.bufferArray.size() < 2) mainThread.runPending();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of a few runs: the machine is shared, single runs are noisy.
double medianSecondsToAdd(double megabytes, bool accented) {
    const QString entryZero = makeText(megabytes, accented, u'x');
    const QString copied = makeText(megabytes, accented, u'y');
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) runs.push_back(secondsToAdd(entryZero, copied));
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

}  // namespace
}  // namespace tarnwick::bench

int main(int argc, char* argv[]) {
    using namespace tarnwick::bench;
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atof(argv[i]));
    if (sizes.empty()) sizes = {1, 3.5, 30};
    std::printf("%8s %12s %12s %8s\n", "MB", "ascii s", "accented s", "ratio");
    for (double mb : sizes) {
        const double ascii = medianSecondsToAdd(mb, false);
        std::printf("%8.1f %12.4f", mb, ascii);
        std::fflush(stdout);
        const double accented = medianSecondsToAdd(mb, true);
        std::printf(" %12.4f %8.2f\n", accented, accented / ascii);
        std::fflush(stdout);
    }
    return 0;
}
