# SPDX-License-Identifier: MIT
"""Hot-key pastes through the real binary: texts copied by another application,
keys pressed with XTest (the session's first too), and what the application received."""

import time

from Xlib import X, XK, display
from Xlib.ext import xtest

import harness

PNG = b"\x89PNG\r\n\x1a\n" + b"image bytes"


class HotKeyPaste(harness.EndToEndTest):
    def test_pastes_restores_and_lets_other_chords_through(self):
        self.assertEqual(self.x.run(harness.TARNWICK, "--paste", "2").returncode, 1)  # nobody yet
        # A text on the clipboard before the start is an entry.
        self.x.copy("zero")
        self.start_with_target({"TARNWICK_TEST_LATE_CHANGE_NOTICE_MS": "3000"})
        self.x.copy("one", read=True)
        # The session's first XTest key switches the server's keymap to XTest's
        # and every client looks the new one up. Holding the server makes
        # Tarnwick's look-up end only after the 2 is down, as when Ctrl+2 is
        # pressed at once: the grabbed press arrives amid the mapping change.
        user = display.Display(self.x.display)
        self.addCleanup(user.close)
        keys = [user.keysym_to_keycode(XK.string_to_keysym(name)) for name in ("Control_L", "2")]
        user.grab_server()
        xtest.fake_input(user, X.KeyPress, keys[0])
        user.sync()
        time.sleep(0.3)
        xtest.fake_input(user, X.KeyPress, keys[1])
        user.ungrab_server()
        user.flush()
        self.assertEventually(lambda: self.target.text() == "zero", self.app.error_output)
        self.x.xdotool("keyup", "ctrl+2")
        self.press("k", "k")  # the keyboard was not left frozen
        # A desktop shortcut's --paste 2 pastes as ctrl+2 does, once entry 0 is back.
        self.assertEventually(lambda: self.x.clipboard() == b"one")
        self.assertEqual(self.x.run(harness.TARNWICK, "--paste", "2").returncode, 0)
        self.assertEventually(lambda: self.target.text() == "zerokzero")
        # ctrl+1 right after each copy pastes it, also when the main thread
        # hears of the copy only seconds later.
        for text in ("alpha", "beta", "gamma"):
            self.x.copy(text)
            self.press("ctrl+1", text)
        self.press("ctrl+3", "alpha")
        self.assertEventually(lambda: self.x.clipboard() == b"gamma", "entry 0 must come back")
        self.press("ctrl+2", "beta")  # the paste left the history as it was

        # Held Super: the application still sees exactly Ctrl+V, and no
        # modifier stays down, so the k arrives bare.
        seen, text = len(self.target.keys()), self.target.text()
        self.x.xdotool("keydown", "super")
        self.x.xdotool("key", "ctrl+2")
        self.x.xdotool("keyup", "super")
        self.x.xdotool("key", "k")
        self.assertEventually(lambda: self.target.text() == text + "betak",
                              lambda: repr(self.target.text()))
        self.assertEqual(self.target.keys()[seen:], ["Ctrl+V", "K"])

        self.x.xdotool("key", "Num_Lock")
        self.press("ctrl+2", "beta")
        # The user's own paste chord right after one of Tarnwick's: entry 0.
        self.press("ctrl+v", "gamma")

        # An image is no entry and a plain paste of it is left alone; nor is the
        # clipboard its owner leaves empty an entry: ctrl+6 stays beyond the
        # history and reaches the application.
        owner = self.x.copy(PNG, "image/png")
        self.x.xdotool("key", "ctrl+v")
        # A key typed after it has gone all the way through once it arrives.
        self.press("k", "k")
        self.assertTrue(owner.running(), "the image's owner lost the clipboard")
        self.assertEqual(self.x.clipboard("image/png"), PNG)
        for step, stop in (("image", lambda: None), ("owner gone", owner.stop)):
            stop()
            seen = len(self.target.keys())
            self.x.xdotool("key", "ctrl+6")
            self.assertEventually(lambda: self.target.keys()[seen:] == ["Ctrl+6"],
                                  lambda: "%s: %s" % (step, self.target.keys()[seen:]))
        self.assertEqual(self.app.output(), "")


if __name__ == "__main__":
    harness.main()
