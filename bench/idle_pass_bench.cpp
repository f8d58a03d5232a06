// SPDX-License-Identifier: MIT
// Cost of an idle polling pass with a small and with a large text on the
// clipboard, owned by another process (xclip) on a private Xvfb. The engine
// runs with the real pasteboard; the whole process's CPU time is divided by
// the passes made, and any main-thread step a pass hands over is timed. An engine that
// read the clipboard on every pass would pay for the 10 MB transfer each time.
//
//   idle_pass_bench [--seconds S]
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "common/Copier.h"
#include "common/Stats.h"
#include "harness/Clipboard.h"
#include "harness/Wait.h"
#include "harness/XvfbSession.h"
#include "history/BufferChecker.h"
#include "platform/Pasteboard.h"
#include "platform/Platform.h"
#include "platform/qt/QtMainThread.h"

namespace tarnwick::bench {
namespace {

using namespace std::chrono_literals;

// Passes a hundred times faster than the program's, for many samples; the
// work of one pass is the same.
constexpr std::chrono::milliseconds passInterval{10};

double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The Qt main thread, timing every task the polling thread hands over: those
// tasks are the passes' main-thread steps.
class TimedMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override {
        inner_.post([this, task = std::move(task)] {
            const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            task();
            const double spent = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
            std::lock_guard lock(mutex_);
            stepMicros_.push_back(spent * 1e6);
        });
    }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        inner_.postAfter(delay, std::move(task));
    }
    std::vector<double> takeSteps() {
        std::lock_guard lock(mutex_);
        return std::exchange(stepMicros_, {});
    }

private:
    QtMainThread inner_;
    std::mutex mutex_;
    std::vector<double> stepMicros_;
};

// Runs the main loop as the program does, sleeping while nothing happens.
void runEventsFor(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

void measure(const char* label, const std::string& text, e2e::Clipboard& clipboard,
             BufferChecker& engine, TimedMainThread& mainThread, double seconds) {
    if (!clipboard.copyText(text)) {
        std::fprintf(stderr, "copying the %s text failed\n", label);
        return;
    }
    const bool arrived = e2e::waitUntil(
        [&] {
            return !engine.bufferArray.isEmpty() &&
                   engine.bufferArray.front().size() == static_cast<qsizetype>(text.size());
        },
        60s, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
    if (!arrived) std::fprintf(stderr, "the %s text never arrived\n", label);
    runEventsFor(500ms);  // let the arrival's own work settle
    mainThread.takeSteps();

    // Windows of one second: the process CPU per pass (a pass every
    // interval), and the main-thread steps that the passes handed over.
    std::vector<double> perPass, steps;
    const int windows = std::max(2, static_cast<int>(seconds));
    const double passesPerWindow = 1.0 / (static_cast<double>(passInterval.count()) / 1000.0);
    for (int w = 0; w < windows; ++w) {
        const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        runEventsFor(1s);
        const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        perPass.push_back(cpu * 1e6 / passesPerWindow);
        const std::vector<double> windowSteps = mainThread.takeSteps();
        steps.insert(steps.end(), windowSteps.begin(), windowSteps.end());
    }
    printSummary(std::string("idle_pass_process_cpu_us size=") + label, perPass);
    // An idle pass need not involve the main thread at all: n is then 0.
    printSummary(std::string("idle_pass_step_us size=") + label, steps);
}

}  // namespace
}  // namespace tarnwick::bench

int main(int argc, char** argv) {
    using namespace tarnwick;
    bench::prepareThreadedX();
    double seconds = 5;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--seconds") seconds = std::atof(argv[i + 1]);
    e2e::XvfbSession x;
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", x.error().c_str());
        return 1;
    }
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    const auto pasteboard = makePasteboard();
    bench::TimedMainThread mainThread;
    BufferChecker engine(*pasteboard, mainThread, bench::passInterval);
    engine.startPolling();
    {
        e2e::Clipboard clipboard(x);
        bench::measure("10B", "ten bytes!", clipboard, engine, mainThread, seconds);
        bench::measure("10MB", std::string(10 * 1024 * 1024, 'x'), clipboard, engine, mainThread,
                       seconds);
        engine.pauseUpdates();
        QCoreApplication::sendPostedEvents();
    }
    return 0;
}
