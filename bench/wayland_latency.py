#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Wayland latencies on a headless sway, from outside, in the end-to-end
test's session (an unprivileged user when run as root) with its fake portal:
copy -> the first request for the text (both times from wl-copy's own
WAYLAND_DEBUG log), `tarnwick --paste 2` -> the text in paste_target, and a
global shortcut's Activated signal (sent through the fake portal by
dbus-send, whose start is included) -> the text.

  TARNWICK_BINARY=... TARNWICK_PASTE_TARGET=... TARNWICK_WAYLAND_OFFER=... \\
      python3 bench/wayland_latency.py [rounds]
"""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402
import test_wayland_session  # noqa: E402

ROUNDS = int(sys.argv.pop(1)) if len(sys.argv) > 1 else 10


class Latency(test_wayland_session.WaylandSession):
    def timed_paste(self, argv, text):
        """Milliseconds from running argv until text arrives in the focused target."""
        self.assertTrue(harness.wait_until(lambda: self.focus("Paste Target"), 10))
        before = self.target_text()
        start = time.monotonic()
        self.assertEqual(self.run_here(*argv).returncode, 0, argv)
        self.assertTrue(harness.wait_until(lambda: self.target_text() == before + text))
        return 1000 * (time.monotonic() - start)

    def test_latency(self):
        self.start_bus()
        self.start_portal("full")
        self.start_tarnwick()
        self.start_target()
        self.assertTrue(harness.wait_until(lambda: "registered" in self.app.output()))
        requests = []
        for i in range(ROUNDS + 2):
            time.sleep(0.5)  # past the read floor: each copy's own latency
            copier = self.start(["wl-copy", "--foreground", "--paste-once", "copy%d" % i],
                                WAYLAND_DEBUG="client")
            self.assertTrue(harness.wait_until(lambda: copier.poll() is not None))
            log = copier.output()
            selected = re.findall(r"\[\s*([\d.]+)\]\s+-> \S+set_selection", log)
            asked = re.findall(r"\[\s*([\d.]+)\]\s+\S+\.send\(", log)
            requests.append(float(asked[0]) - float(selected[-1]))
        newest_but_one = "copy%d" % ROUNDS
        activate = ["dbus-send", "--session", "--type=method_call",
                    "--dest=org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                    "org.tarnwick.FakePortal.Activate", "string:paste-2"]
        figures = {"copy -> request (ms)": requests}
        for name, argv in (("--paste 2 -> text (ms)", [self.tarnwick, "--paste", "2"]),
                           ("Activated -> text (ms)", activate)):
            figures[name] = []
            for _ in range(ROUNDS):
                time.sleep(0.4)  # past the restore of entry 0
                figures[name].append(self.timed_paste(argv, newest_but_one))
        for name, values in figures.items():
            print("%-24s %s" % (name, " ".join("%.1f" % v for v in sorted(values))))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "Latency.test_latency"], verbosity=1)
