# SPDX-License-Identifier: MIT
"""Measures what other programs' clipboard and display faults do to a Tarnwick
binary, on private Xvfb displays, with the end-to-end harness and its
fault_owner: one line per fault. Run it against two builds to compare.

  TARNWICK_BINARY=... TARNWICK_PASTE_TARGET=... TARNWICK_FAULT_OWNER=... \\
      python3 bench/hostile_clipboard_measure.py [--runs N] [name words...]
"""

import ctypes
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import harness  # noqa: E402

FAULT_OWNER = os.environ.get("TARNWICK_FAULT_OWNER", "fault_owner")
RUNS = int(sys.argv[sys.argv.index("--runs") + 1]) if "--runs" in sys.argv else 10
# Words that pick measures by name ("secret", "server"); none: all of them.
WANTED = [a for a in sys.argv[1:] if not a.startswith("--") and not a.isdigit()]


class Bench:
    def __enter__(self):
        self.x = harness.Session()
        self.app = self.x.start([harness.TARNWICK])
        self.window = self.x.window("^Tarnwick$", 10)
        self.target = self.x.paste_target()
        self.xclip = self.x.copy("alpha")
        self.paste("ctrl+1", "alpha", 5)
        return self

    def __exit__(self, *_):
        self.x.close()

    def paste(self, chord, text, timeout=30.0):
        """Seconds until chord pasted text into the target, or None."""
        before = self.target.text()
        start = time.monotonic()
        self.x.xdotool("key", chord)
        if harness.wait_until(lambda: self.target.text() == before + text, timeout):
            return time.monotonic() - start
        return None

    def owner(self, *args):
        program = self.x.start([FAULT_OWNER] + list(args))
        harness.wait_until(lambda: "owning" in program.output(), 5)
        return program


def fmt(seconds):
    return "none within the wait" if seconds is None else "%.2f s" % seconds


def stalled_hot_key(mode):
    with Bench() as b:
        b.owner(mode)
        return "ctrl+1 answered after " + fmt(b.paste("ctrl+1", "alpha"))


def failed_read_entry():
    with Bench() as b:
        owner = b.owner("die-mid-incr")
        harness.wait_until(lambda: not owner.running(), 5)
        harness.wait_until(lambda: False, 1.5)
        got = b.paste("ctrl+1", "alpha", 3)
        return "row 1 after a dying owner: " + ("alpha (unchanged)" if got else "not alpha")


def recorded(mode, data):
    with Bench() as b:
        owner = b.owner(mode, data)
        harness.wait_until(lambda: "asked" in owner.output(), 5)
        harness.wait_until(lambda: False, 1.5)
        return "ctrl+1 pastes the %s: %s" % (mode, "yes" if b.paste("ctrl+1", data, 3) else "no")


def editor_crash(route):
    crashes = 0
    for _ in range(3):
        with Bench() as b:
            b.x.xdotool("mousemove", "--sync", "1080", "70", "click", "1")
            b.xclip.stop()  # nothing owns the clipboard now
            harness.wait_until(lambda: b.x.clipboard() is None, 5)
            if route == "shift+Insert":
                b.x.xdotool("key", "shift+Insert")
            else:
                b.x.xdotool("click", "2")
            harness.wait_until(lambda: not b.app.running(), 3)
            crashes += not b.app.running()
    return "%s in the row editor, no owner: %d crashes of 3" % (route, crashes)


def layout_change():
    with Bench() as b:
        b.x.run("setxkbmap", "-layout", "us", "-variant", "dvorak")
        got = b.paste("ctrl+1", "alpha", 5)
        keys = ",".join(b.target.keys()[-2:])
        return "ctrl+1 after setxkbmap dvorak: pasted %s; target's last keys %s" % (
            "yes" if got else "no", keys)


def server_loss():
    statuses = []
    for _ in range(RUNS):
        x = harness.Session()
        app = x.start([harness.TARNWICK])
        x.window("^Tarnwick$", 10)
        x.copy("alpha")
        x.server.kill()
        harness.wait_until(lambda: not app.running(), 10)
        statuses.append(app.returncode)
        x.close()
    return "exit statuses over %d server deaths: %s" % (RUNS, sorted(statuses))


class OwnerlessCounter:
    """Counts the moments the clipboard has no owner, as XFixes reports them."""

    def __init__(self, display_name):
        self.xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.fixes = ctypes.cdll.LoadLibrary("libXfixes.so.3")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.display = ctypes.c_void_p(self.xlib.XOpenDisplay(display_name.encode()))
        base, error = ctypes.c_int(), ctypes.c_int()
        self.fixes.XFixesQueryExtension(self.display, ctypes.byref(base), ctypes.byref(error))
        self.notify = base.value  # XFixesSelectionNotify
        self.xlib.XInternAtom.restype = ctypes.c_ulong
        clipboard = self.xlib.XInternAtom(self.display, b"CLIPBOARD", 0)
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        root = self.xlib.XDefaultRootWindow(self.display)
        self.fixes.XFixesSelectSelectionInput(self.display, ctypes.c_ulong(root),
                                              ctypes.c_ulong(clipboard), 1)
        self.xlib.XSync(self.display, 0)

    def count(self):
        event = (ctypes.c_char * 192)()
        ownerless = 0
        while self.xlib.XPending(self.display) > 0:
            self.xlib.XNextEvent(self.display, event)
            kind = int.from_bytes(event.raw[0:4], "little")
            owner = int.from_bytes(event.raw[48:56], "little")
            ownerless += kind == self.notify and owner == 0
        return ownerless


def quick_hot_keys():
    with Bench() as b:
        b.x.copy("beta")
        b.paste("ctrl+1", "beta", 5)
        counter = OwnerlessCounter(b.x.display)
        before = b.target.text()
        b.x.xdotool("key", "--delay", "60", *(["ctrl+2"] * 20))
        harness.wait_until(lambda: b.target.text().count("alpha") >= 20, 10)
        harness.wait_until(lambda: False, 1.0)
        return "20 quick ctrl+2: %d pasted alpha; the clipboard was ownerless %d times" % (
            b.target.text()[len(before):].count("alpha"), counter.count())


def mapping_burst(count=20000):
    with Bench() as b:
        # The target, a Qt program too, would spend the burst rebuilding its
        # own keymap and time itself: it opens again once the burst is over.
        b.target.stop()
        xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        display = ctypes.c_void_p(xlib.XOpenDisplay(b.x.display.encode()))
        for i in range(count):
            sym = (ctypes.c_ulong * 1)(0xFFD1 + i % 2)  # F20 / F21 on a spare key
            xlib.XChangeKeyboardMapping(display, 247, 1, sym, 1)
        xlib.XSync(display, 0)
        xlib.XCloseDisplay(display)
        b.target = b.x.paste_target()
        return "ctrl+1 right after %d mapping changes answered after %s" % (
            count, fmt(b.paste("ctrl+1", "alpha", 120)))


def main():
    print("binary:", harness.TARNWICK)
    for name, measure in (("2 hanging owner", lambda: stalled_hot_key("hang")),
                          ("2 owner dying mid-INCR", lambda: stalled_hot_key("die-mid-incr")),
                          ("3 shift+Insert", lambda: editor_crash("shift+Insert")),
                          ("3 middle click", lambda: editor_crash("middle click")),
                          ("4 layout change", layout_change),
                          ("5 server death", server_loss),
                          ("6 failed transfer", failed_read_entry),
                          ("7 quick hot keys", quick_hot_keys),
                          ("8 secret", lambda: recorded("secret", "hunter2")),
                          ("8 uri list", lambda: recorded("uri-list", "file:///tmp/a.pdf")),
                          ("9 mapping burst", mapping_burst)):
        if WANTED and not any(word in name for word in WANTED):
            continue
        print("%-24s %s" % (name, measure()), flush=True)


if __name__ == "__main__":
    main()
