// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::e2e {
class Process;
}

namespace tarnwick::bench {

// Copies texts from other processes (one xclip each, as applications do) on
// its own thread and its own X connection, and records the moment each copy's
// owner took the CLIPBOARD selection: the start of every latency measured.
class Copier {
public:
    struct Plan {
        std::string display;
        std::vector<std::string> texts;
        std::chrono::milliseconds minGap{300};  // random pause before each copy
        std::chrono::milliseconds maxGap{700};
        unsigned seed = 1;
    };

    explicit Copier(Plan plan);
    ~Copier();
    Copier(const Copier&) = delete;
    Copier& operator=(const Copier&) = delete;

    void start();
    bool done() const { return done_.load(); }
    void join();

    // Wall-clock (CLOCK_REALTIME) seconds at which copy i's owner held the
    // clipboard; negative when it never did.
    const std::vector<double>& ownedAt() const { return ownedAt_; }

private:
    void run();

    Plan plan_;
    std::vector<double> ownedAt_;
    std::unique_ptr<e2e::Process> owner_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Lets Xlib be used from several threads (each with its own connection); call
// first thing in main.
void prepareThreadedX();

// Seconds since the epoch, CLOCK_REALTIME: comparable across processes.
double wallSeconds();

}  // namespace tarnwick::bench
