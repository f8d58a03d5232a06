#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Copy -> history, measured black-box the same way for Tarnwick and a peer
clipboard manager (CopyQ): a client takes the clipboard (fault_owner, which
prints "owns" and then "asked TARGET" for each request) and the time from its
"owns" to the first request for the text is what the clipboard manager needed
to notice the copy and fetch it. Each program runs on a private Xvfb.

  TARNWICK_BINARY=... TARNWICK_FAULT_OWNER=... python3 bench/copy_request_latency.py [rounds]
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402

TEXT_TARGETS = ("UTF8_STRING", "STRING", "TEXT", "text/plain")


def request_latency(session, owners):
    """Seconds from the client owning the clipboard to the first text request.
    The owner keeps the clipboard until the next one takes it, as an
    application does."""
    owner = subprocess.Popen([harness.FAULT_OWNER, "text", "copied at %f" % time.time()],
                             env=session.env, stdout=subprocess.PIPE, text=True)
    owners.append(owner)
    if owner.stdout.readline().strip() != "owns":
        return None
    owned = time.monotonic()
    for line in owner.stdout:
        if line.startswith("asked ") and line[6:].strip().startswith(TEXT_TARGETS):
            return time.monotonic() - owned
    return None


def cpu_ms(pid):
    """User and system CPU of a process and its children so far, in ms."""
    ticks = 0
    for task in [pid] + children(pid):
        try:
            with open("/proc/%d/stat" % task) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return ticks * 1000 / os.sysconf("SC_CLK_TCK")


def children(pid):
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            return [int(c) for c in f.read().split()]
    except OSError:
        return []


def measure(name, argv, ready, env, rounds):
    # With a tray both keep their windows hidden, as they run in the background.
    session = harness.Session(tray=True)
    try:
        program = session.start(argv, env)
        if not harness.wait_until(lambda: ready(session), 30):
            return "%s: did not start" % name
        time.sleep(2)
        samples, owners = [], []
        cpu0, server0 = cpu_ms(program.pid), cpu_ms(session.server.pid)
        for _ in range(rounds):
            seconds = request_latency(session, owners)
            if seconds is not None:
                samples.append(seconds * 1000)
            time.sleep(0.6)  # copies a person could make, not a burst
        time.sleep(1)
        cpu, server = cpu_ms(program.pid) - cpu0, cpu_ms(session.server.pid) - server0
        for owner in owners:
            owner.kill()
            owner.wait()
        if not samples:
            return "%s: never asked for the text" % name
        samples.sort()
        p95 = samples[min(len(samples) - 1, int(0.95 * len(samples)))]
        return ("%s: copy -> first text request median %.1f ms, p95 %.1f ms, max %.1f ms "
                "(%d of %d); CPU per copy %.2f ms, the X server's %.2f ms") % (
            name, statistics.median(samples), p95, samples[-1], len(samples), rounds,
            cpu / rounds, server / rounds)
    finally:
        session.close()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 30
    print(measure("tarnwick", [harness.TARNWICK],
                  lambda s: s.run("xdotool", "search", "--class", "^tarnwick$").stdout, None,
                  rounds))
    if shutil.which("copyq"):
        home = tempfile.mkdtemp(prefix="tarnwick-peer-")
        peer_env = {"HOME": home, "XDG_CONFIG_HOME": home + "/config",
                    "XDG_DATA_HOME": home + "/data", "XDG_CACHE_HOME": home + "/cache"}
        ready = lambda s: subprocess.run(["copyq", "count"], env=dict(s.env, **peer_env),
                                         capture_output=True).returncode == 0
        print(measure("copyq", ["copyq"], ready, peer_env, rounds))
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
