# SPDX-License-Identifier: MIT
"""The program as a citizen of the desktop session: one copy per user and
display, its window shown active below the tray, a command line of --help and
--version only, and X11 whatever Qt's platform variable or a Wayland session says."""

import os
import re
import resource
import signal
import socket

import harness

TAP_MESSAGE = (
    "Failed to create the event tap. This program must be run with root privilage using the "
    "'sudo' command in order to filter and modify key press events before the operating system "
    "passes them to other applications.\n")
WAYLAND_NOTE = (
    "Wayland session: Tarnwick runs through XWayland. Its hot keys reach only X11 "
    "applications, and it follows the clipboard through XWayland.\n")


class SecondStart(harness.EndToEndTest):
    # With a tray a first copy shows only its status icon; openbox places the window.
    tray = wm = True

    def start_first(self):
        first = self.x.start([harness.TARNWICK])
        self.assertEventually(self.x.windows, first.error_output, 10)
        return first

    def test_the_icon_quits_and_the_window_is_shown_active_below_the_tray(self):
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
        icon = list(self.x.windows())
        target = self.x.paste_target().window
        focus = lambda: [self.x.run("xdotool", command).stdout.strip()
                         for command in ("getactivewindow", "getwindowfocus")]
        # Shown by Settings, again by Settings once the target has taken the focus
        # back, and by a start on ":N.0", screen 0 of ":N": the same display.
        for show in (lambda: self.x.choose(icon[0], 0), lambda: self.x.choose(icon[0], 0),
                     lambda: self.assertHandsOver({"DISPLAY": self.x.display + ".0"})):
            self.x.click(target)
            self.assertEventually(lambda: focus() == [target] * 2, focus)
            show()
            window = self.x.window("^Tarnwick$", 10)
            self.assertEventually(lambda: focus() == [window] * 2, focus)
            self.assertFrameAtTopRight(window)
        self.assertEqual(first.output(), "")


def connect(path):
    client = socket.socket(socket.AF_UNIX)
    client.connect_ex(path)  # a client of the first copy's, connected or refused (for now)
    return client


class StartsAndEndings(harness.EndToEndTest):
    def test_signals_end_it_as_quit_does_and_no_peer_or_lock_keeps_a_second_start_out(self):
        name = "tarnwick-" + self.x.display.replace(":", "_")
        lock = os.path.join(self.x.folder, name + ".lock")
        with open(lock, "w") as f:
            f.write("4242\ntarnwick\nelsewhere.invalid\n")
        foreign = self.x.start([harness.TARNWICK])
        self.assertEqual(foreign.wait(10), 1, foreign.output())
        message = foreign.error_output()
        self.assertTrue(message.count("\n") == 1 and lock in message
                        and "elsewhere.invalid" in message, message)
        os.remove(lock)
        # Without XDG_RUNTIME_DIR, a private folder in the cache folder.
        cache = os.path.join(self.x.folder, "cache")
        fallback = {"XDG_RUNTIME_DIR": None, "XDG_CACHE_HOME": cache}
        private = os.path.join(cache, "tarnwick-" + socket.gethostname())
        # A Wayland session: X11 all the same, said once.
        wayland = {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": "wayland-0",
                   "XDG_SESSION_TYPE": "wayland"}
        for sig, env, folder in ((signal.SIGTERM, None, self.x.folder),
                                 (signal.SIGINT, wayland, self.x.folder),
                                 (signal.SIGHUP, fallback, private)):
            with self.subTest(signal=sig.name):
                first = self.x.start([harness.TARNWICK], env)
                self.assertTrue(self.x.window("^Tarnwick$", 10), first.error_output())
                files = [os.path.join(folder, name + end) for end in (".lock", ".socket")]
                self.assertTrue(all(map(os.path.exists, files)), os.listdir(folder))
                if sig == signal.SIGTERM:
                    # Room for a few peers only, as if a flood had used up the descriptors.
                    room = len(os.listdir("/proc/%d/fd" % first.pid)) + 8
                    resource.prlimit(first.pid, resource.RLIMIT_NOFILE,
                                     (room, resource.prlimit(first.pid, resource.RLIMIT_NOFILE)[1]))
                    idle = [connect(files[1]) for _ in range(100)]
                    self.assertHandsOver()
                    greedy = connect(files[1])
                    with self.assertRaises(OSError, msg="a request without end was read whole"):
                        greedy.sendall(b"x" * (16 << 20))
                    self.assertHandsOver()
                if env:
                    self.assertEqual(os.stat(folder).st_mode & 0o777, 0o700)
                    self.assertHandsOver(env)
                if env is wayland:
                    self.app, self.target = first, self.x.paste_target()
                    self.x.copy("through X11")
                    self.press("ctrl+1", "through X11")
                first.send_signal(sig)
                self.assertEqual(first.wait(10), 0, first.error_output())
                self.assertFalse(any(map(os.path.exists, files)), os.listdir(folder))
                # Every start here found no copy running.
                self.assertEqual(first.output() + first.error_output(),
                                 WAYLAND_NOTE if env is wayland else "")

    def test_takes_help_and_version_and_without_a_display_prints_the_tap_message(self):
        with open(os.path.join(os.path.dirname(__file__), "..", "..", "CMakeLists.txt")) as f:
            version = "Tarnwick %s\n" % re.search(r"Tarnwick VERSION ([0-9.]+)", f.read())[1]
        # No display at all, or a display number with no server behind it.
        absent = next(":%d" % n for n in range(90, 200)
                      if not os.path.exists("/tmp/.X11-unix/X%d" % n))
        alone = {"DISPLAY": None, "QT_QPA_PLATFORM": None, "WAYLAND_DISPLAY": None,
                 "XDG_SESSION_TYPE": None}
        for arguments, env, status, expected in (
                (["--version"], {}, 0, version),
                (["--help"], {}, 0, lambda out: "--help" in out and "--version" in out),
                (["--help-all"], {}, 1, ""),
                (["-platform", "offscreen"], {}, 1, ""),
                (["--version", "file.txt"], {}, 1, ""),
                ([], alone, 1, TAP_MESSAGE),
                ([], dict(alone, DISPLAY=absent), 1, TAP_MESSAGE),
                ([], dict(alone, QT_QPA_PLATFORM="xcb"), 1, TAP_MESSAGE),
                ([], dict(alone, QT_QPA_PLATFORM="wayland"), 1, TAP_MESSAGE)):
            with self.subTest(arguments=arguments, env=env):
                program = self.x.start([harness.TARNWICK] + arguments, env)
                self.assertEqual(program.wait(30), status, program.error_output())
                out = program.output()
                self.assertTrue(expected(out) if callable(expected) else out == expected, out)
                self.assertEqual(program.error_output() == "", status == 0, program.error_output())


if __name__ == "__main__":
    harness.main()
