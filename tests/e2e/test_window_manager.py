# SPDX-License-Identifier: MIT
"""The window under a real window manager (openbox): placed by its frame, its list
inside it, edited rows on the clipboard, and without a tray closing it quits;
and under none, as under one that draws no frame, its own clicks still reach it."""

import re
import subprocess
import time

from Xlib import display

import harness


class WindowManager(harness.EndToEndTest):
    wm = True

    def list_ends_5px_above_bottom(self, window, width):
        """The window at width: its bottom 5 pixel rows are plain background and
        the row above them is not (the list or its scroller ends there)."""
        ppm = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"],
                             env=self.x.env, capture_output=True, timeout=10).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not header or int(header[1]) != width:
            return False
        w, h = int(header[1]), int(header[2])
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
        def typed_x():  # typed again until the window's keymap has caught up
            self.x.xdotool("key", "ctrl+a", "x")
            return self.x.clipboard() == b"x"
        self.assertEventually(typed_x, self.x.clipboard)
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


class WithoutFrame(harness.EndToEndTest):
    def test_a_click_on_the_background_commits_a_typed_row_number(self):
        self.app = self.x.start([harness.TARNWICK])
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, self.app.error_output())
        for text in ("one", "two"):
            self.x.copy(text, read=True)
        # Row 1's number (left, under the header) takes a 2; a click on the
        # header's free right end commits it: "one" is row 1 and on the clipboard.
        self.x.xdotool("windowfocus", "--sync", window)
        self.x.xdotool("mousemove", "--window", window, "--sync", "12", "70", "click", "1",
                       "key", "2", "mousemove", "--window", window, "--sync", "395", "10",
                       "click", "1")
        self.assertEventually(lambda: self.x.clipboard() == b"one", self.x.clipboard)


if __name__ == "__main__":
    harness.main()
