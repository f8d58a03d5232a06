#include "history/Atomic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using tarnwick::Atomic;
using namespace std::chrono_literals;

TEST(Atomic, ConcurrentIncrementsAreNeverLost) {
    Atomic<int> counter(0);
    constexpr int threads = 4, rounds = 20000;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < rounds; ++i) counter.mutate([](int& v) { ++v; });
        });
    std::atomic<bool> readerSawDecrease = false;
    std::thread reader([&] {
        int last = 0;
        while (last < threads * rounds) {
            const int now = counter.value();
            if (now < last) readerSawDecrease = true;
            last = now;
        }
    });
    for (auto& w : workers) w.join();
    reader.join();
    EXPECT_EQ(counter.value(), threads * rounds);
    EXPECT_FALSE(readerSawDecrease);
}

TEST(Atomic, WaitForWakesOnAWriteFromAnotherThread) {
    Atomic<bool> flag(false);
    std::thread writer([&] {
        std::this_thread::sleep_for(20ms);
        flag.mutate([](bool& v) { v = true; });
    });
    flag.waitFor(true);
    EXPECT_TRUE(flag.value());
    writer.join();
}

TEST(Atomic, TimedWaitReportsTimeoutAndSuccess) {
    Atomic<bool> flag(false);
    EXPECT_FALSE(flag.waitFor(true, 5ms));
    flag.mutate([](bool& v) { v = true; });
    EXPECT_TRUE(flag.waitFor(true, 5ms));
}

TEST(Atomic, CellsAreIndependent) {
    // A thread blocked inside one cell's change must not block another cell.
    Atomic<int> a(0), b(0);
    std::atomic<bool> inside = false, release = false;
    std::thread holder([&] {
        a.mutate([&](int&) {
            inside = true;
            while (!release) std::this_thread::yield();
        });
    });
    while (!inside) std::this_thread::yield();
    b.mutate([](int& v) { v = 7; });
    EXPECT_EQ(b.value(), 7);
    release = true;
    holder.join();
}
