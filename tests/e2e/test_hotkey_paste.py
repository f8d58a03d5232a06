"""Hot-key pastes through the real binary: texts copied by another application,
keys pressed with xdotool, and what the focused application received."""

import os

import harness

PNG = b"\x89PNG\r\n\x1a\n" + b"image bytes"
TAP_MESSAGE = (
    "Failed to create the event tap. This program must be run with root privilage using the "
    "'sudo' command in order to filter and modify key press events before the operating system "
    "passes them to other applications.\n")


class HotKeyPaste(harness.EndToEndTest):
    def setUp(self):
        super().setUp()
        self.app = self.x.start_tarnwick()
        # Without a tray the window opens at start-up, which switches ctrl on.
        self.assertTrue(self.x.window("^Tarnwick$", 10), self.app.errors())
        self.target = self.x.paste_target()

    def press(self, chord, pasted):
        """Presses chord in the target and waits until exactly pasted arrives."""
        before = self.target.text()
        self.x.key(chord)
        self.assertEventually(lambda: self.target.text() == before + pasted,
                              lambda: "%s gave %r after %r; %s" % (
                                  chord, self.target.text(), before, self.app.errors()))

    def copy_and_confirm(self, *texts):
        """Each text is copied by another application and ctrl+1 then pastes it."""
        for text in texts:
            self.x.copy(text)
            self.press("ctrl+1", text)

    def test_a_copy_arrives_even_when_the_hot_key_follows_at_once(self):
        self.x.copy("older")
        self.assertEventually(lambda: self.x.clipboard() == "older")
        self.press("ctrl+1", "older")
        self.x.copy("fresh")
        self.press("ctrl+1", "fresh")
        self.press("ctrl+2", "older")
        self.assertEventually(lambda: self.x.clipboard() == "fresh")

    def test_the_nth_paste_then_restores_entry_zero(self):
        self.copy_and_confirm("alpha", "beta", "gamma")
        self.press("ctrl+3", "alpha")
        self.assertEventually(lambda: self.x.clipboard() == "gamma", "entry 0 must come back")
        # The paste left the history as it was.
        self.press("ctrl+1", "gamma")
        self.press("ctrl+2", "beta")
        self.press("ctrl+3", "alpha")
        self.assertEqual(self.app.output(), "")

    def test_num_lock_on_and_a_digit_beyond_the_history(self):
        self.copy_and_confirm("one", "two")
        self.x.key("Num_Lock")
        self.press("ctrl+2", "one")
        # A paste chord of the user's own right after one of Tarnwick's.
        self.press("ctrl+v", "two")
        self.x.key("ctrl+9")
        self.assertEventually(lambda: self.target.keys()[-1:] == ["Ctrl+9"],
                              lambda: "ctrl+9 must reach the application: %s" % self.target.keys())
        self.assertEqual(self.target.text(), "onetwoonetwo")

    def test_held_super_still_gives_exactly_the_paste_chord(self):
        self.copy_and_confirm("first", "second")
        seen = len(self.target.keys())
        self.x.xdotool("keydown", "super")
        self.x.key("ctrl+2")
        self.x.xdotool("keyup", "super")
        self.x.key("k")
        # No modifier stays down: the k arrives bare.
        self.assertEventually(lambda: self.target.text() == "firstsecondfirstk",
                              lambda: repr(self.target.text()))
        self.assertEqual(self.target.keys()[seen:], ["Ctrl+V", "K"])
        self.assertEventually(lambda: self.x.clipboard() == "second")

    def test_an_image_survives_a_plain_paste(self):
        self.copy_and_confirm("text")
        owner = self.x.copy(PNG, "image/png")
        self.x.key("ctrl+v")
        # A key typed after it has gone all the way through once it arrives; a
        # rewrite of the clipboard would have been made on the way.
        self.press("k", "k")
        self.assertEqual(self.target.text(), "textk", "nothing may be pasted in place of the image")
        self.assertTrue(owner.running(), "the image's owner lost the clipboard")
        self.assertEqual(self.x.clipboard("image/png", raw=True), PNG)
        # Neither the image nor the clipboard left empty by its owner is an
        # entry: ctrl+2 stays beyond the history and reaches the application.
        for step in ("image", "owner gone"):
            if step == "owner gone":
                owner.stop()
            seen = len(self.target.keys())
            self.x.key("ctrl+2")
            self.assertEventually(lambda: self.target.keys()[seen:] == ["Ctrl+2"],
                                  lambda: "%s: %s" % (step, self.target.keys()[seen:]))
        self.assertEqual(self.target.text(), "textk")


class StatusIcon(harness.EndToEndTest):
    tray = True

    def geometry(self, window):
        shell = self.x.run("xdotool", "getwindowgeometry", "--shell", window).stdout
        g = dict(line.split("=") for line in shell.split())
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def tarnwick_windows(self):
        return set(self.x.run("xdotool", "search", "--onlyvisible", "--class", "^tarnwick$")
                   .stdout.split())

    def test_with_a_tray_only_the_icon_shows_and_its_menu_quits(self):
        app = self.x.start_tarnwick()
        self.assertEventually(self.tarnwick_windows, app.errors, 10)
        shown = self.tarnwick_windows()
        self.assertEqual(len(shown), 1, "a window besides the status icon")
        x, y, w, h = self.geometry(*shown)
        self.x.xdotool("mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1")
        menus = []
        self.assertEventually(lambda: menus.extend(self.tarnwick_windows() - shown) or menus)
        # Two items, "Settings" and "Quit", share the menu's height.
        x, y, w, h = self.geometry(menus[0])
        self.x.xdotool("mousemove", "--sync", str(x + w // 2), str(y + 3 * h // 4), "click", "1")
        self.assertEqual(app.process.wait(10), 0, app.errors())


class NoDisplay(harness.EndToEndTest):
    def test_prints_the_tap_message_and_exits_with_status_one(self):
        # A display number with no server behind it, beside no display at all.
        absent = next(":%d" % n for n in range(90, 200)
                      if not os.path.exists("/tmp/.X11-unix/X%d" % n))
        for display in (None, absent):
            with self.subTest(display=display):
                program = self.x.start_tarnwick(
                    {"DISPLAY": display, "QT_QPA_PLATFORM": None, "WAYLAND_DISPLAY": None})
                self.assertEqual(program.process.wait(30), 1, program.errors())
                self.assertEqual(program.output(), TAP_MESSAGE, program.errors())


if __name__ == "__main__":
    harness.main()
