#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Copy -> the new entry drawn in Tarnwick's open window, on a headless sway
(the session of wayland_latency.py and the end-to-end test), seen from
outside as copy_latency.py sees it on X11, but through screenshots: sway has
no DAMAGE, so grim captures the window's first row over and over until its
pixels differ from the capture taken just before the copy.

The first row is found by the one row band that changes when the empty list
gets its first entry. Each copy is a wl-copy (distinct text, N copies 0.5 s
apart, each serving until the next replaces it). The clock starts at wl-copy's
set_selection request (the timestamp of its own WAYLAND_DEBUG log, CLOCK_REALTIME
in microseconds modulo 2^32, as libwayland prints it) and stops when the grim
whose capture first shows the change has returned, so a sample is late by up to
one grim (its time is printed as the polling resolution; it includes waiting
for sway's next frame). Nothing is subtracted. "earliest" is the other end of
each sample's interval: the start of the last grim whose capture still showed
no change, or the copy itself when the first capture already showed it. A copy after which the row does
not change within a second is counted as missed. "from launch" starts the clock
before wl-copy is started instead (its start-up and connection included).

  TARNWICK_BINARY=... TARNWICK_PASTE_TARGET=... TARNWICK_WAYLAND_OFFER=... \\
      python3 bench/wayland_drawn_latency.py [copies]
"""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402
import test_wayland_session  # noqa: E402
import xbench  # noqa: E402  (its Python has Xlib; summaries)

COPIES = int(sys.argv.pop(1)) if len(sys.argv) > 1 else 30
SPACING = 0.5
DEADLINE = 1.0
WRAP = 1 << 32  # libwayland's debug clock: microseconds in an unsigned int


def pixels(ppm):
    """(width, height, rows of bytes) of grim's binary PPM."""
    match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    width, height = int(match.group(1)), int(match.group(2))
    data = ppm[match.end():]
    stride = 3 * width
    return width, height, [data[y * stride:(y + 1) * stride] for y in range(height)]


def wall_microseconds():
    return int(time.time() * 1e6) % WRAP


def since(start, end):
    """Milliseconds from start to end, both on the wrapping debug clock."""
    return ((end - start) % WRAP) / 1000


class Drawn(test_wayland_session.WaylandSession):
    def shot(self, geometry=None):
        argv = ["grim", "-t", "ppm"] + (["-g", geometry] if geometry else []) + ["-"]
        result = self.run_here(*argv)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def first_row(self):
        """grim's geometry of the band that the first entry is drawn into."""
        width, _, empty = pixels(self.shot())
        self.copy("first row")
        changed = []
        self.assertTrue(harness.wait_until(lambda: changed.extend(
            y for y, (a, b) in enumerate(zip(empty, pixels(self.shot())[2])) if a != b)
            or changed), "the first entry was never drawn")
        time.sleep(0.5)  # whatever else the first entry redraws has settled
        rows = [y for y, (a, b) in enumerate(zip(empty, pixels(self.shot())[2])) if a != b]
        top, bottom = min(rows), max(rows)
        # Only one band may change, or more than the first row was caught.
        self.assertEqual(rows, list(range(top, bottom + 1)), "more than one band changed")
        return "0,%d %dx%d" % (top, width, bottom - top + 1)

    def test_drawn(self):
        self.start_tarnwick()
        time.sleep(2)  # settles after start, as on X11
        geometry = self.first_row()
        print("\nfirst row: %s" % geometry, flush=True)
        outputs = self.run_here("swaymsg", "-t", "get_outputs").stdout.decode()
        print("output refresh (mHz): %s" % re.findall(r'"refresh": (\d+)', outputs)[:1], flush=True)
        drawn, earliest, from_launch, grim_ms, missed, first = [], [], [], [], 0, 0
        settled, redrawn = None, 0
        for i in range(COPIES):
            time.sleep(SPACING)
            before = self.shot(geometry)
            # The change seen must be the row as it stays, the new entry, not a frame on the way.
            redrawn += settled is not None and settled != before
            launched, launched_wall = time.monotonic(), wall_microseconds()
            copier = self.start(["wl-copy", "--foreground", "copy %d of %d" % (i, COPIES)],
                                WAYLAND_DEBUG="client")
            seen, unchanged, captures = None, None, 0
            while time.monotonic() < launched + DEADLINE:
                began, began_wall = time.monotonic(), wall_microseconds()
                now = self.shot(geometry)
                grim_ms.append(1000 * (time.monotonic() - began))
                captures += 1
                if now != before:
                    seen = wall_microseconds()
                    break
                unchanged = began_wall  # its capture came after this, and showed no entry yet
            if seen is None:
                missed, settled = missed + 1, None
                continue
            first += captures == 1
            settled = now
            self.assertTrue(harness.wait_until(lambda: "set_selection" in copier.output()))
            stamps = re.findall(r"\[\s*(\d+)\.(\d{3})\]\s+-> \S+set_selection", copier.output())
            selected = int(stamps[-1][0]) * 1000 + int(stamps[-1][1])
            # The debug clock must agree with ours: the request came after the launch.
            self.assertLess(since(launched_wall, selected), 1000 * DEADLINE, copier.output())
            drawn.append(since(selected, seen))
            if unchanged is None or since(unchanged, selected) < 1000 * DEADLINE:
                earliest.append(0.0)
            else:
                earliest.append(since(selected, unchanged))
            from_launch.append(since(launched_wall, seen))
        time.sleep(SPACING)
        redrawn += settled is not None and settled != self.shot(geometry)
        xbench.summary("copy -> drawn (ms)", drawn, high=90)
        xbench.summary("copy -> drawn, earliest (ms)", earliest, high=90)
        xbench.summary("copy -> drawn from launch (ms)", from_launch, high=90)
        xbench.summary("grim per capture (ms)", grim_ms, high=90)
        print("copies %d missed %d seen by the first capture %d changed after it was seen %d"
              % (COPIES, missed, first, redrawn), flush=True)
        print("copy -> drawn, sorted: " + " ".join("%.1f" % v for v in sorted(drawn)), flush=True)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "Drawn.test_drawn"], verbosity=1)
