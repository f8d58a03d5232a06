"""The program as a citizen of the desktop session: one copy per user and
display, a command line of --help and --version only, and X11 whatever Qt's
platform variable or a Wayland session says."""

import os
import re
import signal

import harness

SHOWN = "Tarnwick is already running: its window is shown.\n"
WAYLAND_NOTE = (
    "Wayland session: Tarnwick runs through XWayland. Its hot keys reach only X11 "
    "applications, and it follows the clipboard through XWayland.\n")


class DesktopTest(harness.EndToEndTest):
    def assertHandsOver(self, env=None):
        second = self.x.start([harness.TARNWICK], env)
        self.assertEqual(second.wait(10), 0, second.error_output())
        self.assertEqual(second.output(), SHOWN, second.error_output())


class SecondStart(DesktopTest):
    # With a tray a first copy shows only its status icon.
    tray = True

    def start_first(self):
        first = self.x.start([harness.TARNWICK])
        self.assertEventually(self.x.windows, first.error_output, 10)
        return first

    def test_the_icon_quits_and_one_copy_per_display_shows_its_window(self):
        quitting = self.start_first()
        self.assertIsNone(self.x.window("^Tarnwick$", 0.5), "the window is open before")
        icon = self.x.windows()
        self.assertEqual(len(icon), 1, "a window besides the status icon")
        self.x.choose(*icon, 1)
        self.assertEqual(quitting.wait(10), 0, quitting.error_output())

        self.start_first().send_signal(signal.SIGKILL)
        self.assertEventually(lambda: not self.x.windows())
        # Its lock and socket stay behind; the next start is a first copy.
        first = self.start_first()
        # The same user's runtime folder on another display: a first copy too.
        other = harness.Session()
        self.addCleanup(other.close)
        there = other.start([harness.TARNWICK], {"XDG_RUNTIME_DIR": self.x.folder})
        self.assertTrue(other.window("^Tarnwick$", 10), there.error_output())
        # ":N.0" is screen 0 of ":N": the same display, so the same copy.
        self.assertHandsOver({"DISPLAY": self.x.display + ".0"})
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, first.error_output())
        focus = lambda: self.x.run("xdotool", "getwindowfocus").stdout.strip()
        self.assertEventually(lambda: focus() == window, lambda: "focus is on " + focus())
        self.assertTrue(first.running() and there.running())
        self.assertEqual(first.output(), "")


class CommandLine(DesktopTest):
    def test_takes_help_and_version_and_refuses_everything_else(self):
        with open(os.path.join(os.path.dirname(__file__), "..", "..", "CMakeLists.txt")) as f:
            version = "Tarnwick %s\n" % re.search(r"Tarnwick VERSION ([0-9.]+)", f.read())[1]
        for arguments, status, output_ok in (
                (["--version"], 0, lambda out: out == version),
                (["-v"], 0, lambda out: out == version),
                (["--help"], 0, lambda out: "--help" in out and "--version" in out),
                (["--help-all"], 1, lambda out: out == ""),
                (["-platform", "offscreen"], 1, lambda out: out == ""),
                (["--version", "file.txt"], 1, lambda out: out == "")):
            with self.subTest(arguments=arguments):
                program = self.x.start([harness.TARNWICK] + arguments)
                self.assertEqual(program.wait(10), status, program.error_output())
                self.assertTrue(output_ok(program.output()), program.output())
                self.assertEqual(program.error_output() == "", status == 0, program.error_output())

    def test_without_a_display_it_prints_the_tap_message_and_exits_1(self):
        # A display number with no server behind it, beside no display at all.
        absent = next(":%d" % n for n in range(90, 200)
                      if not os.path.exists("/tmp/.X11-unix/X%d" % n))
        for display, platform in ((None, None), (absent, None), (None, "xcb"),
                                  (None, "wayland")):
            with self.subTest(display=display, platform=platform):
                program = self.x.start([harness.TARNWICK], {
                    "DISPLAY": display, "QT_QPA_PLATFORM": platform, "WAYLAND_DISPLAY": None,
                    "XDG_SESSION_TYPE": None})
                self.assertEqual(program.wait(30), 1, program.error_output())
                self.assertEqual(program.output(), harness.TAP_MESSAGE, program.error_output())

    def test_a_wayland_session_runs_on_x11_and_says_so_once(self):
        wayland = {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": "wayland-0",
                   "XDG_SESSION_TYPE": "wayland"}
        self.start_with_target(wayland)
        self.x.copy("through X11")
        self.press("ctrl+1", "through X11")
        self.assertEqual(self.app.output(), WAYLAND_NOTE)
        self.assertHandsOver(wayland)


if __name__ == "__main__":
    harness.main()
