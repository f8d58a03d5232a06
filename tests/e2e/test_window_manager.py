# SPDX-License-Identifier: MIT
"""The window under a real window manager (openbox): placed by its frame, edited
rows on the clipboard amid keymap changes, and without a tray closing it quits;
and under none, as under one that draws no frame, its own clicks still reach it."""

import time

from Xlib import display

import harness


class WindowManager(harness.EndToEndTest):
    wm = True

    def test_the_window_is_placed_its_edits_copy_and_closing_it_quits(self):
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
        # openbox's close chord, as the close button sends it, pressed again while
        # openbox still takes the new keymap (meanwhile the chord reaches the window).
        def closed():
            self.x.xdotool("key", "alt+F4")
            return harness.wait_until(lambda: self.app.poll() is not None, 1)
        self.assertEventually(closed, self.app.error_output, 10)
        self.assertEqual(self.app.wait(), 0, self.app.error_output())


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
