# SPDX-License-Identifier: MIT
"""The window under a real window manager (openbox): placed by its frame, its
list inside the window, shown active by "Settings", edited rows on the
clipboard, and closing it quits when there is no tray."""

import re
import subprocess
import time

from Xlib import display

import harness


def numbers(text):
    return [int(n) for n in re.findall(r"-?\d+", text)]


class WindowManager(harness.EndToEndTest):
    wm = True

    def assertFrameAtTopRight(self, window):
        """The frame, title bar included, lies at the top right of the work area."""
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


class WithoutTray(WindowManager):
    def list_ends_5px_above_bottom(self, window, width):
        """The window at width: its bottom 5 pixel rows are plain background and
        the row above them is not (the list or its scroller ends there)."""
        ppm = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"],
                             env=self.x.env, capture_output=True, timeout=10).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        w, h = (int(header[1]), int(header[2])) if header else (0, 0)
        if w != width:
            return False
        row = lambda y: ppm[header.end() + 3 * w * y:header.end() + 3 * w * (y + 1)]
        plain = lambda y: row(y) == row(h - 1)[:3] * w
        return all(plain(y) for y in range(h - 5, h)) and not plain(h - 6)

    def test_the_window_fits_its_edits_copy_and_closing_it_quits(self):
        self.app = self.x.start([harness.TARNWICK])
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, self.app.error_output())
        self.assertFrameAtTopRight(window)
        for text in ("one", "two", "three", "four", "five", "six", "seven"):
            self.x.copy(text, read=True)
        # A click on row 1 (under the 70 px header) selects its whole text: the
        # typing replaces it, by the layout switched to amid another program's
        # burst of key remaps (a spare key remapped every 20 ms).
        self.x.xdotool("mousemove", "--window", window, "--sync", "300", "70", "click", "1")
        user = display.Display(self.x.display)
        self.addCleanup(user.close)
        for step in range(20):
            user.change_keyboard_mapping(250, [(ord("a") + step % 2,)])
            user.sync()
            if step == 5:
                switch = self.x.start(["setxkbmap", "-layout", "us", "-variant", "dvorak"])
            time.sleep(0.02)
        self.assertEqual(switch.wait(10), 0)
        self.assertEventually(lambda: [self.x.xdotool("key", "ctrl+a", "x"),
                                       self.x.clipboard()][1] == b"x", self.x.clipboard)
        self.x.xdotool("key", "y")
        self.assertEventually(lambda: self.x.clipboard() == b"xy", self.x.clipboard)
        # Seven rows need a scroller at either width, with the header on one
        # line (400 px) or stacked (300 px).
        for width in (400, 300):
            with self.subTest(width=width):
                self.x.xdotool("windowsize", window, str(width), "200")
                self.assertEventually(lambda: self.list_ends_5px_above_bottom(window, width),
                                      "the list does not end 5 px above the bottom edge")
        # openbox's close chord, as the close button sends it.
        self.x.xdotool("key", "alt+F4")
        self.assertEqual(self.app.wait(10), 0, self.app.error_output())


class WithTray(WindowManager):
    tray = True

    def test_settings_shows_the_window_active_below_the_tray(self):
        self.app, icon = self.x.start([harness.TARNWICK]), []
        self.assertEventually(lambda: icon.extend(self.x.windows()) or icon, self.app.error_output)
        target = self.x.paste_target().window
        focus = lambda: [self.x.run("xdotool", command).stdout.strip()
                         for command in ("getactivewindow", "getwindowfocus")]
        # Shown first, then again once the target has taken the focus back.
        for _ in range(2):
            self.assertEventually(lambda: focus() == [target] * 2, focus)
            self.x.choose(icon[0], 0)
            window = self.x.window("^Tarnwick$", 10)
            self.assertEventually(lambda: focus() == [window] * 2, focus)
            self.assertFrameAtTopRight(window)
            self.x.click(target)


if __name__ == "__main__":
    harness.main()
