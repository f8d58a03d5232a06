# SPDX-License-Identifier: MIT
"""Measures what issue-style clipboard faults cost a running Tarnwick, from
outside, on private Xvfb servers: copies kept from a relaying and a steady
owner (the newest ten, through the hot keys), the owner's requests per copy,
resident memory after a 20 MB copy and during an endless transfer, and which
entry a hot key pastes right after a slow owner's copy.

  python3 bench/reliability_measure.py BINARY FAULT_OWNER PASTE_TARGET
"""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0


class Run(harness.EndToEndTest):
    def runTest(self):
        pass


def session():
    run = Run()
    run.setUp()
    run.start_with_target()
    return run


def newest_ten(run):
    pasted = []
    for digit in "1234567890":
        before = run.target.text()
        run.x.xdotool("key", "ctrl+" + digit)
        harness.wait_until(lambda: run.target.text() != before, 3)
        time.sleep(0.3)
        pasted.append(run.target.text()[len(before):])
    return pasted


class WmRun(Run):
    wm = True


def editor_paste_stall(lose_server=False):
    """Seconds the main thread is busy after Shift+Insert in the row editor
    while a trickling owner holds the clipboard: a second start waits for
    the first one's main thread to answer it (it gives up after 5 s). Or the
    X server is lost right then, and the exit status tells how it ended."""
    run = WmRun()
    run.setUp()
    run.app = run.x.start([harness.TARNWICK])
    window = run.x.window("^Tarnwick$", 10)
    run.x.copy("alpha", read=True)
    time.sleep(0.5)
    run.x.xdotool("mousemove", "--window", window, "--sync", "300", "70", "click", "1")
    time.sleep(0.5)
    owner = run.x.start([harness.FAULT_OWNER, "trickle"])
    harness.wait_until(lambda: "asked UTF8_STRING" in owner.output(), 5)
    time.sleep(0.1)
    run.x.xdotool("key", "shift+Insert")
    start = time.monotonic()
    if lose_server:
        run.x.server.kill()
        try:
            status = run.app.wait(30)
        except Exception:
            status = "still running after 30 s"
        print("X server lost during that paste: exit status %s after %.1f s"
              % (status, time.monotonic() - start))
    else:
        second = run.x.start([harness.TARNWICK])
        second.wait(30)
        print("editor paste with a trickling owner: a second start answered after %.1f s: %s"
              % (time.monotonic() - start, second.output().strip()))
    run.doCleanups()


def main():
    harness.TARNWICK, harness.FAULT_OWNER, harness.PASTE_TARGET = sys.argv[1:4]
    if sys.argv[4:] in (["editor"], ["server-loss"]):
        return editor_paste_stall(sys.argv[4] == "server-loss")
    for argv in (["relay", "30"], ["steady", "30", "300"]):
        run = session()
        owner = run.x.start([harness.FAULT_OWNER, *argv])
        harness.wait_until(lambda: owner.poll() is not None or
                           owner.output().count("asked UTF8_STRING") >= 30, 20)
        time.sleep(1)
        got = newest_ten(run)
        want = ["%s-%d" % (argv[0], n) for n in range(30, 20, -1)]
        print("%s: asked for the text %d times; newest ten through hot keys: %d of 10 right: %s"
              % (" ".join(argv), owner.output().count("asked UTF8_STRING"),
                 sum(a == b for a, b in zip(got, want)), got))
        run.doCleanups()

    run = session()
    owner = run.x.start([harness.FAULT_OWNER, "plain", "one copy"])
    time.sleep(3)
    print("requests per copy (TARGETS + text) in 3 s: %d" % owner.output().count("asked"))
    base = rss_mb(run.app.pid)
    run.x.copy("y" * (20 << 20), read=True)
    time.sleep(2)
    print("resident memory: %.0f MB before, %.0f MB after a 20 MB copy" % (base, rss_mb(run.app.pid)))
    run.doCleanups()

    run = session()
    run.x.copy("before")
    time.sleep(0.5)
    owner = run.x.start([harness.FAULT_OWNER, "endless"])
    peak = 0
    for _ in range(20):
        time.sleep(0.5)
        peak = max(peak, rss_mb(run.app.pid))
    start = time.monotonic()
    run.x.copy("after", read=False)
    seen = harness.wait_until(lambda: run.x.xdotool("key", "ctrl+1") is not None and
                              run.target.text().endswith("after"), 10)
    print("endless INCR: peak resident memory in 10 s %.0f MB; a later copy pasted by ctrl+1: %s "
          "after %.1f s" % (peak, seen, time.monotonic() - start))
    run.doCleanups()

    run = session()
    run.x.copy("previous")
    time.sleep(0.5)
    owner = run.x.start([harness.FAULT_OWNER, "slow", "new"])
    harness.wait_until(lambda: "asked TARGETS" in owner.output())
    time.sleep(0.1)
    run.x.xdotool("key", "ctrl+1")
    time.sleep(4)
    pasted = run.target.text()
    run.x.xdotool("key", "ctrl+2")
    time.sleep(1)
    print("slow owner, ctrl+1 0.1 s after the copy pasted %r; ctrl+2 then pasted %r"
          % (pasted, run.target.text()[len(pasted):]))
    run.doCleanups()


if __name__ == "__main__":
    main()
