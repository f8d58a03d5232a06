# SPDX-License-Identifier: MIT
"""What the Python benchmarks share: the end-to-end harness (tests/e2e/harness.py:
a private Xvfb and programs on it), an X client of their own (python3-xlib),
the peer clipboard manager (CopyQ) with a private home, and the summary line
tools/bench.sh reads."""

import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

try:
    from Xlib import X, display as xdisplay
    from Xlib.ext import damage
except ImportError:  # Debian's python3-xlib belongs to Debian's interpreter
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402,F401  (re-exported)


def use_build(folder):
    """Points the harness at the programs of a build folder (its bin/)."""
    if folder:
        bin_dir = os.path.join(os.path.abspath(folder), "bin")
        harness.TARNWICK = os.path.join(bin_dir, "tarnwick")
        harness.PASTE_TARGET = os.path.join(bin_dir, "paste_target")
        harness.FAULT_OWNER = os.path.join(bin_dir, "fault_owner")


def new_session(tray=False, wm=False):
    """A harness session; on a busy machine openbox or trayer may miss the
    harness's deadline, so it is tried three times."""
    for attempt in range(3):
        try:
            return harness.Session(tray=tray, wm=wm)
        except RuntimeError:
            if attempt == 2:
                raise
    return None


def nearest_rank(samples, q):
    ordered = sorted(samples)
    rank = min(len(ordered), max(1, int(q * len(ordered) + 0.999999)))
    return ordered[rank - 1]


def summary(name, samples, high=99):
    """One line: "<name> n=<count> median=<x> p<high>=<x> min=<x> max=<x>" (nearest rank)."""
    if not samples:
        print("%s n=0 median=0 p%d=0 min=0 max=0" % (name, high), flush=True)
        return
    print("%s n=%d median=%.4g p%d=%.4g min=%.4g max=%.4g" % (
        name, len(samples), nearest_rank(samples, 0.5), high, nearest_rank(samples, high / 100),
        min(samples), max(samples)), flush=True)


class Peer:
    """CopyQ on a session, with a home folder of its own; ask() runs its command line."""

    def __init__(self, session):
        self.session = session
        self.home = tempfile.mkdtemp(prefix="tarnwick-peer-")
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = {"HOME": self.home, "XDG_CONFIG_HOME": self.home + "/config",
                    "XDG_DATA_HOME": self.home + "/data", "XDG_CACHE_HOME": self.home + "/cache",
                    "XDG_RUNTIME_DIR": runtime}
        self.program = session.start(["copyq"], self.env)
        if not harness.wait_until(lambda: self.ask("count").returncode == 0, 30):
            raise RuntimeError("copyq does not answer: " + self.program.error_output())

    def ask(self, *args, timeout=10):
        return subprocess.run(["copyq", *args], env=dict(self.session.env, **self.env),
                              capture_output=True, text=True, timeout=timeout)

    def close(self):
        self.ask("exit")
        shutil.rmtree(self.home, ignore_errors=True)


def have_copyq():
    return shutil.which("copyq") is not None


class Painting:
    """Reports when a window is drawn into (the DAMAGE extension), on our own
    connection: what a compositor would see, from outside the program."""

    def __init__(self, session, window=None):
        """window: an id as xdotool gives it; None: the whole screen."""
        self.display = xdisplay.Display(session.display)
        if not self.display.has_extension("DAMAGE"):
            raise RuntimeError("the X server has no DAMAGE extension")
        self.display.damage_query_version()
        self.window = (self.display.create_resource_object("window", int(window, 0)) if window
                       else self.display.screen().root)
        self.damage = self.window.damage_create(damage.DamageReportNonEmpty)
        self.display.sync()
        self.drain()

    def drain(self):
        """Forgets what was drawn so far; the next drawing reports anew."""
        while self.display.pending_events():
            self.display.next_event()
        self.display.damage_subtract(self.damage)
        self.display.sync()
        while self.display.pending_events():
            self.display.next_event()

    def next_paint(self, deadline):
        """time.monotonic() of the next drawing, or None at the deadline."""
        while True:
            if self.display.pending_events():
                event = self.display.next_event()
                if event.type == self.display.extension_event.DamageNotify:
                    seen = time.monotonic()
                    self.display.damage_subtract(self.damage)
                    self.display.flush()
                    return seen
                continue
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([self.display.fileno()], [], [], left)

    def close(self):
        self.display.close()


def own_display(session):
    return xdisplay.Display(session.display)


__all__ = ["X", "harness", "use_build", "new_session", "summary", "nearest_rank", "Peer", "have_copyq",
           "Painting", "own_display"]
