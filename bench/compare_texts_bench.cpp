// SPDX-License-Identifier: MIT
// Main-thread cost of adding one large copied text to the history, accented
// (French-like, about one letter in six decomposable) against plain ASCII of
// the same size. The new text differs from entry 0 only in its last letter,
// so every comparison has to look at the whole text. Canonical comparison
// must cost linear time: the accented figure should stay within twice the
// ASCII one.
//
//   compare_texts_bench [--runs N] [MB...]   (default: 1 3.5 30, each the median of 5 runs)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <deque>
#include <mutex>
#include <string>

#include "history/BufferChecker.h"
#include "platform/MainThread.h"
#include "platform/Pasteboard.h"

namespace tarnwick::bench {
namespace {

// A clipboard in memory that another application has just copied to.
class MemoryPasteboard final : public Pasteboard {
public:
    void clearContents() override { text_.reset(), ++count_; }
    bool setString(const QString& text) override { return text_ = text, ++count_, true; }
    std::optional<QString> string() const override { return text_; }
    std::uint64_t changeCount() const override { return count_; }
    bool reportsChanges() const override { return true; }
    void setChangeListener(std::function<void()> listener) override { listener_ = listener; }
    void copy(const QString& text) {
        setString(text);
        if (listener_) listener_();
    }

private:
    std::optional<QString> text_;
    std::uint64_t count_ = 0;
    std::function<void()> listener_;
};

// The bench's own thread plays the main thread.
class QueuedMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    void postAfter(std::chrono::milliseconds, std::function<void()> task) override {
        post(std::move(task));
    }
    int runPending() {
        int ran = 0;
        std::unique_lock lock(mutex_);
        while (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            ++ran;
            lock.lock();
        }
        return ran;
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

// About megabytes million characters; accented letters are precomposed (NFC), as
// text copied from real applications is.
QString makeText(double megabytes, bool accented, QChar last) {
    static const QString words[] = {QStringLiteral("été "),    QStringLiteral("déjà "),
                                    QStringLiteral("garçon "), QStringLiteral("fenêtre "),
                                    QStringLiteral("le "),     QStringLiteral("maison "),
                                    QStringLiteral("à "),      QStringLiteral("très ")};
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
    MemoryPasteboard pasteboard;
    QueuedMainThread mainThread;
    BufferChecker engine(pasteboard, mainThread, std::chrono::milliseconds(1));
    engine.history().replaceAll({entryZero});
    engine.lastAdded = entryZero;
    engine.publish();
    pasteboard.copy(copied);
    engine.startPolling();
    // Main-thread time only (the step: read, two comparisons, add, and the
    // publication after it), which is what froze the window; not the wait for
    // the polling thread to wake.
    double busy = 0;
    while (engine.bufferArray.size() < 2) {
        const auto start = std::chrono::steady_clock::now();
        if (mainThread.runPending() == 0) continue;
        busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return busy;
}

// The median of a few runs: the machine is shared, single runs are noisy.
double medianSecondsToAdd(double megabytes, bool accented, int runCount) {
    const QString entryZero = makeText(megabytes, accented, u'x');
    const QString copied = makeText(megabytes, accented, u'y');
    std::vector<double> runs;
    for (int i = 0; i < runCount; ++i) runs.push_back(secondsToAdd(entryZero, copied));
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

}  // namespace
}  // namespace tarnwick::bench

int main(int argc, char* argv[]) {
    using namespace tarnwick::bench;
    std::vector<double> sizes;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else {
            sizes.push_back(std::atof(argv[i]));
        }
    }
    if (sizes.empty()) sizes = {1, 3.5, 30};
    std::printf("%8s %12s %12s %8s\n", "MB", "ascii s", "accented s", "ratio");
    for (double mb : sizes) {
        const double ascii = medianSecondsToAdd(mb, false, runs);
        std::printf("%8.1f %12.4f", mb, ascii);
        std::fflush(stdout);
        const double accented = medianSecondsToAdd(mb, true, runs);
        std::printf(" %12.4f %8.2f\n", accented, accented / ascii);
        std::fflush(stdout);
    }
    return 0;
}
