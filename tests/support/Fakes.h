// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "history/BufferChecker.h"
#include "platform/Alert.h"
#include "platform/KeySender.h"
#include "platform/MainThread.h"
#include "platform/Pasteboard.h"

namespace tarnwick::test {

// A main-thread queue the test drains itself, on a manual clock for delayed tasks.
class FakeMainThread final : public MainThread {
public:
    void post(std::function<void()> task) override { postAfter({}, std::move(task)); }
    void postAfter(std::chrono::milliseconds delay, std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.emplace(now_ + delay, std::move(task));
    }
    int runPending() { return advance({}); }
    bool hasPending() { return std::lock_guard{mutex_}, !tasks_.empty(); }
    // Moves the clock on, running tasks (new ones too) as they fall due; returns how many ran.
    int advance(std::chrono::milliseconds by) {
        std::unique_lock lock(mutex_);
        const auto until = now_ + by;
        int ran = 0;
        for (; !tasks_.empty() && tasks_.begin()->first <= until; ++ran) {
            auto task = tasks_.extract(tasks_.begin());
            now_ = task.key();
            lock.unlock();
            task.mapped()();
            lock.lock();
        }
        now_ = until;
        return ran;
    }

private:
    std::mutex mutex_;
    std::multimap<std::chrono::milliseconds, std::function<void()>> tasks_;
    std::chrono::milliseconds now_{0};
};

// An in-memory clipboard, read on the main thread or (offMain, X11) the polling thread.
class FakePasteboard final : public Pasteboard {
public:
    explicit FakePasteboard(bool reportsOtherOwners = true, bool offMain = false)
        : reporting(reportsOtherOwners), offMain_(offMain) {}
    void clearContents() override { set(std::nullopt); }
    bool setString(const QString& text) override {
        writes.append(text);
        if (refuseWrites) return ++changes_, false;
        return set(text), true;
    }
    std::optional<QString> string() const override { return read().text; }
    Contents read() const override {
        std::lock_guard lock(mutex_);
        return ++reads, Contents{changes_, text_};
    }
    bool readsOffMainThread() const override { return offMain_; }
    std::uint64_t changeCount() const override {
        const std::uint64_t count = changes_;
        // Set by the test thread, run there once: the clipboard moves on just after it was asked.
        if (std::this_thread::get_id() == testThread_ && moveOnAfterCount)
            std::exchange(moveOnAfterCount, {})();
        return count;
    }
    bool reportsChanges() const override { return reporting; }
    void setChangeListener(std::function<void()> listener) override { listener_ = listener; }

    // Another application takes the clipboard (none = non-text content).
    void copyFromOtherApp(std::optional<QString> text) {
        set(std::move(text));
        if (reporting && listener_) listener_();
    }

    bool refuseWrites = false;
    bool reporting;  // false: other owners go unreported (macOS)
    QStringList writes;
    mutable std::atomic<int> reads = 0;
    mutable std::function<void()> moveOnAfterCount;

private:
    void set(std::optional<QString> text) {
        std::lock_guard lock(mutex_);
        text_ = std::move(text);
        ++changes_;
    }
    const bool offMain_;
    const std::thread::id testThread_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    std::optional<QString> text_;
    std::atomic<std::uint64_t> changes_ = 0;
    std::function<void()> listener_;
};

struct FakeKeySender final : KeySender {
    void postCommandKey(int keyCode) override { posted.push_back(keyCode); }
    std::vector<int> posted;
};

struct FakeAlert final : Alert {
    void beep() override { ++beeps; }
    int beeps = 0;
};

// The engine on the fakes; the test thread plays the main thread.
struct EngineHarness {
    explicit EngineHarness(std::chrono::milliseconds interval = std::chrono::milliseconds(2),
                           bool reporting = true, bool offMain = false)
        : pasteboard(reporting, offMain), engine(pasteboard, mainThread, interval) {}

    void start() { engine.startPolling(); }

    // Waits until done() holds or the deadline passes, playing the main thread if asked.
    bool pumpUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5), bool play = true) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;; std::this_thread::sleep_for(std::chrono::microseconds(200))) {
            if (play) mainThread.runPending();
            if (const bool ok = done(); ok || std::chrono::steady_clock::now() >= deadline)
                return ok;
        }
    }
    bool waitUntil(const std::function<bool()>& done) {
        return pumpUntil(done, std::chrono::seconds(5), false);
    }
    void pumpFor(std::chrono::milliseconds span) {
        pumpUntil([] { return false; }, span);
    }

    bool historyBecomes(const QStringList& expected) {
        return pumpUntil([&] { return engine.bufferArray == expected; });
    }
    bool copyAndExpect(const QString& text, const QStringList& expected) {
        pasteboard.copyFromOtherApp(text);
        return historyBecomes(expected);
    }

    FakePasteboard pasteboard;
    FakeMainThread mainThread;
    BufferChecker engine;
};

// History {"C", "B", "A"} with "C" on the clipboard, as polling leaves it (no
// unpolled copy); polling runs only where a test starts it.
struct PasteHarness : EngineHarness {
    explicit PasteHarness(bool offMain = false)
        : EngineHarness(std::chrono::milliseconds(250), true, offMain) {
        engine.history().replaceAll({"C", "B", "A"});
        engine.lastAdded = "C";
        pasteboard.reporting = false;
        pasteboard.copyFromOtherApp("C");
        pasteboard.reporting = true;
        engine.publish();
    }
    std::optional<QString> clipboard() const { return pasteboard.string(); }
};

}  // namespace tarnwick::test
