# SPDX-License-Identifier: MIT
"""Drives the real tarnwick binary on a private Xvfb from outside: xclip copies,
xdotool types, paste_target records what arrives, fault_owner misbehaves (paths
from CTest's environment)."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

TARNWICK = os.environ.get("TARNWICK_BINARY", "tarnwick")
PASTE_TARGET = os.environ.get("TARNWICK_PASTE_TARGET", "paste_target")
FAULT_OWNER = os.environ.get("TARNWICK_FAULT_OWNER", "fault_owner")


def wait_until(predicate, timeout=5.0):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.02)
    return True


def read(path):
    with open(path, "rb") as f:
        return f.read().decode(errors="replace")


class Session:
    """A private X server, openbox and a tray when asked, and programs on it."""

    def __init__(self, tray=False, wm=False):
        self.folder = tempfile.mkdtemp(prefix="tarnwick-e2e-")
        self.programs = []
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes its display number once it accepts connections.
        with os.fdopen(read_end) as numbers:
            self.display = ":" + numbers.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=self.folder)
        if wm:  # openbox's own defaults, whatever the user's configuration says
            self.start(["openbox", "--sm-disable"], {"XDG_CONFIG_HOME": self.folder})
        if tray:  # a dock with a strut: a window manager keeps windows below it
            self.start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                        "--heighttype", "pixel", "--height", "32", "--SetDockType", "true",
                        "--SetPartialStrut", "true"])
        managed = lambda: "window id" in self.run("xprop", "-root",
                                                  "_NET_SUPPORTING_WM_CHECK").stdout
        if (self.display == ":" or (wm and not wait_until(managed, 10))
                or (tray and not self.window("^panel$", 10))):
            self.close()
            raise RuntimeError("Xvfb, openbox or trayer did not start")

    def start(self, argv, env=None, stdin=None):
        """Starts argv, output to files read at any time; env adds to (None: removes from) ours."""
        full = {k: v for k, v in dict(self.env, **(env or {})).items() if v is not None}
        path = tempfile.mktemp(dir=self.folder)
        with open(path, "wb") as out, open(path + ".err", "wb") as err:
            program = subprocess.Popen(argv, env=full, stdout=out, stderr=err,
                                       stdin=subprocess.PIPE if stdin else subprocess.DEVNULL)
        if stdin:
            program.stdin.write(stdin)
            program.stdin.close()
        program.output = lambda: read(path)
        program.error_output = lambda: read(path + ".err")
        program.running = lambda: program.poll() is None
        program.stop = lambda: (program.kill(), program.wait())  # kill() skips an ended one
        self.programs.append(program)
        return program

    def run(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=10)

    def xdotool(self, *args):
        result = self.run("xdotool", *args)
        if result.returncode != 0:
            raise RuntimeError("xdotool %s failed: %s" % (" ".join(args), result.stderr))
        return result.stdout

    def window(self, name_pattern, timeout=5.0):
        """The id of a shown window whose title matches, or None after timeout seconds."""
        found = []
        search = ("xdotool", "search", "--onlyvisible", "--name", name_pattern)
        wait_until(lambda: found.extend(self.run(*search).stdout.split()) or found, timeout)
        return found[0] if found else None

    def windows(self):
        """Tarnwick's shown windows: its status icon, menu and window."""
        return set(self.run("xdotool", "search", "--onlyvisible", "--class",
                            "^tarnwick$").stdout.split())

    def paste_target(self):
        """A focused text window: text() is what arrived, keys() the presses ("Ctrl+V")."""
        path = tempfile.mktemp(dir=self.folder)
        target = self.start([PASTE_TARGET, path])
        target.window = self.window("^Paste Target$", 10)
        if not (target.window and wait_until(lambda: os.path.exists(path + ".keys"))):
            raise RuntimeError("paste_target did not show its window: " + target.error_output())
        # Without a window manager nobody hands out the focus: set it directly.
        self.xdotool("windowfocus", "--sync", target.window)
        target.text = lambda: read(path)
        target.keys = lambda: read(path + ".keys").split()
        return target

    def click(self, window, x_fraction=0.5, y_fraction=0.5):
        g = dict(line.split("=") for line in
                 self.xdotool("getwindowgeometry", "--shell", window).split())
        self.xdotool("mousemove", "--sync", str(int(g["X"]) + int(int(g["WIDTH"]) * x_fraction)),
                     str(int(g["Y"]) + int(int(g["HEIGHT"]) * y_fraction)), "click", "1")

    def choose(self, icon, item):
        """Opens the status menu from icon and clicks item 0 ("Settings") or 1 ("Quit")."""
        shown, menu = self.windows(), []
        self.click(icon)
        if not wait_until(lambda: menu.extend(self.windows() - shown) or menu):
            raise RuntimeError("the status menu did not open")
        self.click(menu[0], 0.5, 0.25 + 0.5 * item)  # the two items share the menu's height

    def clipboard(self, target="UTF8_STRING"):
        """The clipboard's content as target (bytes), None when there is none."""
        try:  # an owner that hangs makes xclip wait for good
            result = subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"],
                                    env=self.env, capture_output=True, timeout=2)
        except subprocess.TimeoutExpired:
            return None
        return result.stdout if result.returncode == 0 else None

    def copy(self, data, target="UTF8_STRING", read=False):
        """Another application's xclip (returned) copies data; read: waits until
        Tarnwick has read it too (targets and text, beside our own request)."""
        raw = data.encode() if isinstance(data, str) else data
        owner = self.start(["xclip", "-verbose", "-selection", "clipboard", "-t", target, "-i"],
                           stdin=raw)
        if not wait_until(lambda: self.clipboard(target) == raw, 10):
            raise RuntimeError("xclip did not take the clipboard")
        # xclip -verbose says "request number N" once it waits for the Nth; it
        # counts requests for the data, not for TARGETS: ours, then Tarnwick's.
        if read and not wait_until(lambda: owner.error_output().count("request number") > 2, 10):
            raise RuntimeError("Tarnwick did not read the copy")
        return owner

    def close(self):  # the server last
        for program in reversed(self.programs):
            program.stop()
        self.server.terminate()
        self.server.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


class EndToEndTest(unittest.TestCase):
    tray = wm = False

    def setUp(self):
        self.x = Session(tray=self.tray, wm=self.wm)
        self.addCleanup(self.x.close)

    def assertEventually(self, predicate, message="", timeout=5.0):
        self.assertTrue(wait_until(predicate, timeout), message() if callable(message) else message)

    def assertFrameAtTopRight(self, window):
        """The frame, title bar included, lies at the top right of the work area."""
        numbers = lambda text: [int(n) for n in re.findall(r"-?\d+", text)]
        def frame():
            info = self.x.run("xwininfo", "-id", window).stdout
            x, y, w, h = (numbers(re.search(key + r":\s+-?\d+", info)[0])[0] for key in (
                "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
            extents = numbers(self.x.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").stdout)
            if len(extents) == 4:  # none yet is no fit
                left, right, top, bottom = extents
                return x - left, y - top, x + w + right, y + h + bottom
        x, y, w, h = numbers(self.x.run("xprop", "-root", "_NET_WORKAREA").stdout)[:4]
        fits = lambda f: f and f[1] == y and f[2] == x + w and f[0] >= x and f[3] <= y + h
        self.assertEventually(lambda: fits(frame()), lambda: "frame %s, work area %s" % (
            frame(), (x, y, x + w, y + h)))

    def assertHandsOver(self, env=None):
        """A second start on this display shows the first copy's window and exits."""
        second = self.x.start([TARNWICK], env)
        self.assertEqual(second.wait(10), 0, second.error_output())
        self.assertEqual(second.output(), "Tarnwick is already running: its window is shown.\n",
                         second.error_output())

    def start_with_target(self, env=None):
        """Starts Tarnwick (no tray: its window opens, ctrl on), then a paste_target."""
        self.app = self.x.start([TARNWICK], env)
        self.assertTrue(self.x.window("^Tarnwick$", 10), self.app.error_output())
        self.target = self.x.paste_target()

    def fault_owner(self, mode, asked="", *data):
        """A fault_owner in mode, once Tarnwick has asked it for target asked."""
        owner = self.x.start([FAULT_OWNER, mode, *data])
        self.assertEventually(lambda: "asked " + asked in owner.output(), owner.output)
        return owner

    def press(self, chord, pasted, timeout=5.0):
        """Presses chord in the target and waits until exactly pasted arrives."""
        before = self.target.text()
        self.x.xdotool("key", chord)
        self.assertEventually(lambda: self.target.text() == before + pasted,
                              lambda: "%s gave %r after %r; %s" % (
                                  chord, self.target.text(), before, self.app.error_output()),
                              timeout)


def main():
    unittest.main(verbosity=2)
