#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Copy -> history, from outside, the same way for Tarnwick and a peer clipboard
manager (CopyQ), each on a private Xvfb with its window open: another process
(xclip) copies a distinct text 0.3-0.7 s after the previous one arrived, and
the clock runs from the moment its owner holds CLIPBOARD (our own connection
polls the owner) to the moment the program draws into its window, which it
does when the new entry joins the list (the DAMAGE extension reports it). A
copy after which nothing is drawn within a second is counted as missed. The
start is seen by our own polling on a shared machine: a sample can come out
short by however long this script was kept off the processor.

  python3 bench/copy_latency.py [--build build/release] [--subject tarnwick|copyq|both]
                                [--copies N] [--seed S]
"""

import argparse
import random
import subprocess
import time

import xbench
from xbench import harness


def owner_taken(display, clipboard, before, deadline):
    """time.monotonic() at which CLIPBOARD's owner became another than before."""
    while time.monotonic() < deadline:
        now = display.get_selection_owner(clipboard)
        if now != 0 and now != before:
            return time.monotonic()
        time.sleep(0.0002)
    return None


def measure(session, window, texts, seed):
    painting = xbench.Painting(session, window)
    display = xbench.own_display(session)
    clipboard = display.intern_atom("CLIPBOARD")
    gaps = random.Random(seed)
    latencies, missed, owners = [], 0, []
    try:
        for text in texts:
            time.sleep(gaps.uniform(0.3, 0.7))
            painting.drain()
            before = display.get_selection_owner(clipboard)
            owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                     env=session.env, stdin=subprocess.PIPE,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            owner.stdin.write(text.encode())
            owner.stdin.close()
            owners.append(owner)
            owned = owner_taken(display, clipboard, before, time.monotonic() + 10)
            painted = owned and painting.next_paint(owned + 1.0)
            if painted:
                latencies.append((painted - owned) * 1000)
            else:
                missed += 1
    finally:
        for owner in owners:
            owner.kill()
            owner.wait()
        display.close()
        painting.close()
    return latencies, missed


def run(subject, texts, seed):
    session, peer = xbench.new_session(), None
    try:
        if subject == "tarnwick":
            program = session.start([harness.TARNWICK])
            window = session.window("^Tarnwick$", 10)
            if not window:
                raise RuntimeError("tarnwick showed no window: " + program.error_output())
        else:
            peer = xbench.Peer(session)
            peer.ask("show")
            found = []
            harness.wait_until(lambda: found.extend(session.run(
                "xdotool", "search", "--onlyvisible", "--class", "^copyq$").stdout.split())
                or found, 10)
            if not found:
                raise RuntimeError("copyq showed no window")
            window = found[0]
        time.sleep(2)  # settles after start
        latencies, missed = measure(session, window, texts, seed)
    finally:
        if peer:
            peer.close()
        session.close()
    xbench.summary("copy_to_history_ms subject=" + subject, latencies)
    print("copies_missed subject=%s %d" % (subject, missed), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", help="build folder whose bin/ holds tarnwick")
    parser.add_argument("--subject", default="both", choices=("tarnwick", "copyq", "both"))
    parser.add_argument("--copies", type=int, default=60)
    parser.add_argument("--seed", type=int, default=7)
    options = parser.parse_args()
    xbench.use_build(options.build)
    words = random.Random(options.seed)
    texts = ["latency %d %d" % (i, words.getrandbits(32)) for i in range(options.copies)]
    subjects = ["tarnwick", "copyq"] if options.subject == "both" else [options.subject]
    for subject in subjects:
        if subject == "copyq" and not xbench.have_copyq():
            print("copyq is not installed", flush=True)
            continue
        run(subject, texts, options.seed)


if __name__ == "__main__":
    main()
