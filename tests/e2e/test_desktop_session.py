"""The program as a citizen of the desktop session: one copy per user and
display, a command line of --help and --version only, and X11 whatever Qt's
platform variable or a Wayland session says."""

import os
import re
import signal

import harness

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
SHOWN = "Tarnwick is already running: its window is shown.\n"
WAYLAND_NOTE = (
    "Wayland session: Tarnwick runs through XWayland. Its hot keys reach only X11 "
    "applications, and it follows the clipboard through XWayland.\n")
TAP_MESSAGE = (
    "Failed to create the event tap. This program must be run with root privilage using the "
    "'sudo' command in order to filter and modify key press events before the operating system "
    "passes them to other applications.\n")


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(Tarnwick VERSION ([0-9.]+)", f.read()).group(1)


class SecondStart(harness.EndToEndTest):
    # With a tray the first copy starts without its window.
    tray = True

    def start_first(self):
        first = self.x.start_tarnwick()
        self.assertEventually(
            lambda: self.x.run("xdotool", "search", "--class", "^tarnwick$").stdout,
            first.errors, 10)
        return first

    def start_second(self):
        second = self.x.start_tarnwick()
        self.assertEqual(second.process.wait(10), 0, second.errors())
        self.assertEqual(second.output(), SHOWN, second.errors())

    def test_shows_the_first_ones_window_raised_and_focused_and_exits_zero(self):
        first = self.start_first()
        self.assertIsNone(self.x.window("^Tarnwick$", 0.5), "the window is open before")
        self.start_second()
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, first.errors())
        self.assertEventually(
            lambda: self.x.run("xdotool", "getwindowfocus").stdout.strip() == window,
            lambda: "focus is on %s" % self.x.run("xdotool", "getwindowfocus").stdout)
        self.assertTrue(first.running())
        self.assertEqual(first.output(), "")

    def test_a_killed_first_copy_leaves_no_obstacle(self):
        self.start_first().process.send_signal(signal.SIGKILL)
        # Its lock and socket stay behind; the next start is a first copy.
        self.start_first()
        self.start_second()


class Displays(harness.EndToEndTest):
    def test_one_copy_per_display_whatever_its_screen_number(self):
        other = harness.Session()
        self.addCleanup(other.close)
        here = self.x.start_tarnwick()
        # The same user's runtime folder, another display: a first copy too.
        there = other.start_tarnwick({"XDG_RUNTIME_DIR": self.x.folder})
        for session, app in ((self.x, here), (other, there)):
            self.assertTrue(session.window("^Tarnwick$", 10), app.errors())
        # ":N.0" is screen 0 of ":N": the same display, so the same copy.
        again = self.x.start_tarnwick({"DISPLAY": self.x.display + ".0"})
        self.assertEqual(again.process.wait(10), 0, again.errors())
        self.assertEqual(again.output(), SHOWN, again.errors())
        self.assertTrue(here.running() and there.running())


class CommandLine(harness.EndToEndTest):
    def test_takes_help_and_version_and_refuses_everything_else(self):
        version = "Tarnwick %s\n" % project_version()
        cases = [
            (["--version"], 0, lambda out: out == version),
            (["-v"], 0, lambda out: out == version),
            (["--help"], 0, lambda out: "--help" in out and "--version" in out),
            (["--help-all"], 1, lambda out: out == ""),
            (["-platform", "offscreen"], 1, lambda out: out == ""),
            (["--version", "file.txt"], 1, lambda out: out == ""),
        ]
        for arguments, status, output_ok in cases:
            with self.subTest(arguments=arguments):
                program = self.x.start([harness.TARNWICK] + arguments)
                self.assertEqual(program.process.wait(10), status, program.errors())
                self.assertTrue(output_ok(program.output()), program.output())
                self.assertEqual(program.errors() == "", status == 0, program.errors())


class Platform(harness.EndToEndTest):
    def test_without_a_display_no_platform_variable_helps(self):
        for platform in ("xcb", "wayland"):
            with self.subTest(platform=platform):
                program = self.x.start_tarnwick(
                    {"DISPLAY": None, "QT_QPA_PLATFORM": platform, "WAYLAND_DISPLAY": None,
                     "XDG_SESSION_TYPE": None})
                self.assertEqual(program.process.wait(30), 1, program.errors())
                self.assertEqual(program.output(), TAP_MESSAGE, program.errors())

    def test_a_wayland_session_runs_on_x11_and_says_so_once(self):
        wayland = {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": "wayland-0",
                   "XDG_SESSION_TYPE": "wayland"}
        app = self.x.start_tarnwick(wayland)
        # Without a tray the window opens at start-up, on X11.
        self.assertTrue(self.x.window("^Tarnwick$", 10), app.errors())
        self.x.copy("through X11")
        target = self.x.paste_target()
        self.x.key("ctrl+1")
        self.assertEventually(lambda: target.text() == "through X11", app.errors)
        self.assertEqual(app.output(), WAYLAND_NOTE)
        # A second start only hands over.
        again = self.x.start_tarnwick(wayland)
        self.assertEqual(again.process.wait(10), 0, again.errors())
        self.assertEqual(again.output(), SHOWN, again.errors())


if __name__ == "__main__":
    harness.main()
