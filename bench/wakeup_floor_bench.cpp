// SPDX-License-Identifier: MIT
// The floor under any 4 Hz polling design on this machine: a bare thread that
// wakes four times a second and hands one empty step to a second thread
// waiting in poll(), as the engine's polling thread hands its step to the
// main loop. Reports the process CPU time per hand-over and as a share of
// one core, to read the idle CPU figures against.
//
//   wakeup_floor_bench [--seconds S]
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

namespace {

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void signal(int fd) {
    const std::uint64_t one = 1;
    (void)!write(fd, &one, sizeof one);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 20;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--seconds") seconds = std::atof(argv[i + 1]);
    const int passes = static_cast<int>(seconds * 4);
    const int wake = eventfd(0, 0);
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    bool stop = false;

    const double start = processCpuSeconds();
    std::thread poller([&] {
        for (int i = 0; i < passes; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            {
                std::lock_guard lock(mutex);
                done = false;
            }
            signal(wake);
            std::unique_lock lock(mutex);
            doneChanged.wait(lock, [&] { return done; });
        }
        std::lock_guard lock(mutex);
        stop = true;
        signal(wake);
    });
    for (;;) {
        pollfd ready{wake, POLLIN, 0};
        poll(&ready, 1, -1);
        std::uint64_t count = 0;
        (void)!read(wake, &count, sizeof count);
        std::lock_guard lock(mutex);
        if (stop) break;
        done = true;
        doneChanged.notify_all();
    }
    poller.join();
    const double cpu = processCpuSeconds() - start;
    std::printf("wakeup_floor per_pass_us=%.1f core_pct=%.4f\n", cpu / passes * 1e6,
                cpu / seconds * 100);
    return 0;
}
