#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What an idle Tarnwick costs with a small and with a large text on the
clipboard, from outside, on a private Xvfb with a tray (the window hidden, as
in the background): another process (xclip) copies 10 B, then 10 MB, and once
Tarnwick has read the copy, the whole process's CPU time (every thread's
nanosecond counter) and its main thread's wake-ups are taken over one-second
windows. The CPU is given per polling interval (a quarter second); a program
that read the clipboard on every pass would pay for the 10 MB transfer each
time, and one that woke its main thread for nothing would show wake-ups.

  python3 bench/idle_pass.py [--build build/release] [--seconds S]
"""

import argparse
import os
import time

import xbench
from xbench import harness

PASSES_PER_SECOND = 4


def cpu_ns(pid):
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except OSError:
            pass  # a thread that ended meanwhile
    return total


def main_thread_wakeups(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("voluntary_ctxt_switches:"):
                return int(line.split()[1])
    return 0


def measure(session, program, label, data, seconds):
    owner = session.copy(data, read=True)
    time.sleep(0.5)  # the arrival's own work settles
    per_pass, wakeups = [], []
    for _ in range(max(2, int(seconds))):
        cpu0, woken0 = cpu_ns(program.pid), main_thread_wakeups(program.pid)
        time.sleep(1)
        cpu, woken = cpu_ns(program.pid) - cpu0, main_thread_wakeups(program.pid) - woken0
        per_pass.append(cpu / 1000 / PASSES_PER_SECOND)
        wakeups.append(woken)
    xbench.summary("idle_pass_process_cpu_us size=" + label, per_pass)
    xbench.summary("idle_main_thread_wakeups_per_s size=" + label, wakeups)
    return owner


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", help="build folder whose bin/ holds tarnwick")
    parser.add_argument("--seconds", type=float, default=5)
    options = parser.parse_args()
    xbench.use_build(options.build)
    session = xbench.new_session(tray=True)
    try:
        program = session.start([harness.TARNWICK])
        if not harness.wait_until(lambda: session.windows(), 10):
            raise RuntimeError("tarnwick showed no status icon: " + program.error_output())
        time.sleep(1)
        measure(session, program, "10B", "ten bytes!", options.seconds)
        measure(session, program, "10MB", "x" * (10 * 1024 * 1024), options.seconds)
    finally:
        session.close()


if __name__ == "__main__":
    main()
