// SPDX-License-Identifier: MIT
#include "common/Copier.h"

#include <X11/Xlib.h>

#include <ctime>
#include <memory>
#include <random>

#include "harness/Process.h"

namespace tarnwick::bench {

void prepareThreadedX() {
    XInitThreads();
}

double wallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Copier::Copier(Plan plan) : plan_(std::move(plan)), ownedAt_(plan_.texts.size(), -1.0) {}

// The last owner keeps serving its text until the copier goes.
Copier::~Copier() {
    join();
}

void Copier::start() {
    thread_ = std::thread([this] { run(); });
}

void Copier::join() {
    if (thread_.joinable()) thread_.join();
}

void Copier::run() {
    Display* display = XOpenDisplay(plan_.display.c_str());
    if (display == nullptr) {
        done_ = true;
        return;
    }
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    std::mt19937 random(plan_.seed);
    std::uniform_int_distribution<long> gap(plan_.minGap.count(), plan_.maxGap.count());
    for (std::size_t i = 0; i < plan_.texts.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(gap(random)));
        const Window before = XGetSelectionOwner(display, clipboard);
        auto next = std::make_unique<e2e::Process>(
            e2e::Process::Options{.argv = {"xclip", "-quiet", "-selection", "clipboard", "-i"},
                                  .env = {{"DISPLAY", plan_.display}},
                                  .input = plan_.texts[i]});
        // Polled finely: the copy's start is the moment its owner holds the
        // selection, not the moment xclip was launched.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            const Window now = XGetSelectionOwner(display, clipboard);
            if (now != None && now != before) {
                ownedAt_[i] = wallSeconds();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        // The previous owner lost the selection and has left by itself.
        owner_ = std::move(next);
    }
    XCloseDisplay(display);
    done_ = true;
}

}  // namespace tarnwick::bench
