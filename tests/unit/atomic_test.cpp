#include "history/Atomic.h"

#include <gtest/gtest.h>

#include <thread>

using tarnwick::Atomic;
using namespace std::chrono_literals;

// The engine's pause waits on these: one for the polling step to finish, the
// timed one while it keeps running the main thread's queue.
TEST(AtomicWait, WakesOnAWriteFromAnotherThread) {
    Atomic<bool> flag(false);
    std::thread writer([&] { flag.mutate([](bool& v) { v = true; }); });
    flag.waitFor(true);
    EXPECT_TRUE(flag.value());
    writer.join();
}

TEST(AtomicWait, TimedWaitReportsTimeoutAndSuccess) {
    Atomic<bool> flag(false);
    EXPECT_FALSE(flag.waitFor(true, 5ms));
    flag.mutate([](bool& v) { v = true; });
    EXPECT_TRUE(flag.waitFor(true, 5ms));
}
