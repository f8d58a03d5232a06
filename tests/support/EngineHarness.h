#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "history/BufferChecker.h"
#include "support/FakeMainThread.h"
#include "support/FakePasteboard.h"

namespace tarnwick::test {

// An engine on fakes with a fast polling thread; the test thread plays the
// main thread by draining the fake queue.
struct EngineHarness {
    explicit EngineHarness(std::chrono::milliseconds interval = std::chrono::milliseconds(2),
                           bool clipboardReportsChanges = true)
        : pasteboard(clipboardReportsChanges), engine(pasteboard, mainThread, interval) {}

    void start() { engine.startPolling(); }

    // Plays the main thread until done() holds or the deadline passes.
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            mainThread.runPending();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        mainThread.runPending();
        return done();
    }

    // Plays the main thread for a while (to show that nothing happens).
    void pumpFor(std::chrono::milliseconds span) {
        pumpUntil([] { return false; }, span);
    }

    // Copies text from "another application" and waits until the engine's
    // history holds the expected list.
    bool copyAndExpect(const QString& text, const QStringList& expected) {
        pasteboard.copyFromOtherApp(text);
        return pumpUntil([&] { return engine.bufferArray == expected; });
    }

    FakePasteboard pasteboard;
    FakeMainThread mainThread;
    BufferChecker engine;
};

}  // namespace tarnwick::test
