// SPDX-License-Identifier: MIT
// What the window benchmarks share: the real window on fakes, and the main
// thread's CPU clock.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <ctime>

#include "history/BufferChecker.h"
#include "support/Fakes.h"
#include "ui/UserInterface.h"

namespace tarnwick::bench {

// One window on fakes, shown, as the engine drives it.
struct Window {
    Window() : engine(pasteboard, mainThread), ui({engine, keySender, alert}) { ui.help(); }

    void add(const QString& text) { engine.history().add(text); }

    // Takes the newest row off again, outside the measured time.
    void dropNewest() { engine.history().remove(1); }

    test::FakePasteboard pasteboard;
    test::FakeMainThread mainThread;
    test::FakeKeySender keySender;
    test::FakeAlert alert;
    BufferChecker engine;
    UserInterface ui;
};

// CPU time of the calling (main) thread: the cost the targets are about, and
// less disturbed than wall time by other work on the machine.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The benchmarks' main(): Qt's offscreen platform unless another is asked for.
inline int runOffscreen(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace tarnwick::bench
