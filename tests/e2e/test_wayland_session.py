# SPDX-License-Identifier: MIT
"""The Wayland backend on a headless sway (as an unprivileged user: sway refuses root):
wl-copy copies, `tarnwick --paste N` pastes, paste_target receives the pastes."""

import json
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import unittest

import harness

USER = "tarnwick-e2e"
WAYLAND_OFFER = os.environ.get("TARNWICK_WAYLAND_OFFER", "wayland_offer")
FAKE_PORTAL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_portal.py")


def unprivileged_user():
    """(uid, gid, home) to run as: ours, or USER's when root (created if missing)."""
    if os.geteuid() != 0:
        return os.getuid(), os.getgid(), os.path.expanduser("~")
    subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin", USER],
                   capture_output=True)
    entry = next((entry for entry in pwd.getpwall() if entry.pw_name == USER), None)
    return entry and (entry.pw_uid, entry.pw_gid, entry.pw_dir)


class WaylandSession(unittest.TestCase):
    def setUp(self):
        user = unprivileged_user()
        if user is None:
            self.skipTest("running as root, and no unprivileged user %s could be made" % USER)
        uid, gid, home = user
        self.folder = tempfile.mkdtemp(prefix="tarnwick-wayland-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        # The binaries may lie where the user cannot reach (a root-only checkout).
        for name, path in (("tarnwick", harness.TARNWICK), ("paste_target", harness.PASTE_TARGET),
                           ("wayland_offer", WAYLAND_OFFER), ("fake_portal", FAKE_PORTAL)):
            setattr(self, name, shutil.copy(path, os.path.join(self.folder, name)))
        open(os.path.join(self.folder, "sway.conf"), "w").close()  # not the system's
        runtime = os.path.join(self.folder, "runtime")
        os.mkdir(runtime, 0o700)
        os.chmod(self.folder, 0o755)
        for path in (self.folder, runtime):
            os.chown(path, uid, gid)
        self.env = {"HOME": home, "PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": runtime,
                    "LANG": "C.UTF-8", "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
                    "WLR_LIBINPUT_NO_DEVICES": "1", "SWAYSOCK": os.path.join(runtime, "ipc")}
        self.user = dict(user=uid, group=gid, extra_groups=[]) if os.geteuid() == 0 else {}
        self.programs = []
        self.start(["sway", "--config", os.path.join(self.folder, "sway.conf")])
        sockets = lambda: [n for n in os.listdir(runtime) if n.startswith("wayland-")
                           and not n.endswith(".lock")]
        self.assertTrue(harness.wait_until(sockets, 10), "sway did not start")
        self.env["WAYLAND_DISPLAY"] = sockets()[0]

    def start(self, argv, **env):
        out = tempfile.NamedTemporaryFile(dir=self.folder, delete=False)
        program = subprocess.Popen(argv, env=dict(self.env, **env), stdout=out,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                   cwd=self.folder, **self.user)
        program.output = lambda: harness.read(out.name)
        self.programs.append(program)
        self.addCleanup(lambda: (program.kill(), program.wait()))
        return program

    def run_here(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, timeout=10,
                              cwd=self.folder, **self.user)

    def paste(self, row, pasted):
        """Pastes row by tarnwick --paste, as a desktop shortcut would; waits for pasted."""
        # Keys go to the focused window, and Tarnwick's own may take the focus late.
        self.assertTrue(harness.wait_until(lambda: self.focus("Paste Target"), 10), "unfocused")
        before = self.target_text()
        self.assertEqual(self.run_here(self.tarnwick, "--paste", row).returncode, 0)
        # Deadlines of 10 s here: a loaded machine has missed 5.
        self.assertTrue(harness.wait_until(lambda: self.target_text() == before + pasted, 10),
                        (row, self.target_text(), before, harness.read(self.text_path + ".keys"),
                         self.app.output()))

    def focus(self, name):
        """Whether sway focuses the window titled name when asked to."""
        title = 'title="^%s$"' % name
        focus = "[%s] focus; [%s con_id=__focused__] nop" % (title, title)
        return self.run_here("swaymsg", focus).returncode == 0

    def copy(self, text):
        """wl-copy's copy, served once: returns once Tarnwick has read it."""
        copier = self.start(["wl-copy", "--foreground", "--paste-once", text])
        self.assertTrue(harness.wait_until(lambda: copier.poll() is not None, 10),
                        "Tarnwick did not read %r" % text)

    def start_tarnwick(self, **env):
        self.app = self.start([self.tarnwick], **env)
        shown = lambda: self.run_here("swaymsg", '[title="^Tarnwick$"] nop').returncode == 0
        self.assertTrue(harness.wait_until(shown, 10), self.app.output())

    def start_target(self):
        self.text_path = text_path = os.path.join(self.folder, "target")
        self.target = self.start([self.paste_target, text_path], QT_QPA_PLATFORM="wayland")
        self.assertTrue(harness.wait_until(lambda: os.path.exists(text_path + ".keys"), 10),
                        self.target.output())
        self.target_text = lambda: harness.read(text_path)

    def test_copies_pastes_and_guards_through_data_control(self):
        self.start_tarnwick(WAYLAND_DEBUG="1")
        self.start_target()

        for text in ("alpha", "beta", "gamma"):
            self.copy(text)
        self.paste("3", "alpha")
        self.assertTrue(harness.wait_until(lambda: self.run_here("wl-paste").stdout == b"gamma\n"),
                        "entry 0 must come back")
        self.paste("2", "beta")

        # A password manager's copy is no row: row 1 is still gamma.
        secret = self.start([self.wayland_offer, "secret", "hunter2"])
        self.assertTrue(harness.wait_until(lambda: "passwordManagerHint" in secret.output()))
        self.paste("1", "gamma")

        # An owner that never sends holds up the next copy by the read deadline at most.
        hanging = self.start([self.wayland_offer, "hang", "stuck"])
        self.assertTrue(harness.wait_until(lambda: "asked" in hanging.output()))
        self.copy("delta")
        self.paste("1", "delta")
        # Each of our copies another one replaced is destroyed, none kept for good.
        count = lambda event: len(re.findall(r"zwlr_data_control_source_v1@\d+\." + event,
                                             self.app.output()))
        self.assertTrue(harness.wait_until(lambda: count(r"destroy\(") == count("cancelled") > 0),
                        (count(r"destroy\("), count("cancelled"), self.app.output()[-3000:]))

    def portal_calls(self, method=None):
        calls = [json.loads(line) for line in harness.read(self.portal_log).splitlines()]
        return [call for call in calls if method in (None, call["method"])]

    def start_bus(self):
        # One that starts no service on demand: nothing but the fake can hold us up.
        with open("/usr/share/dbus-1/session.conf") as standard, \
                open(os.path.join(self.folder, "bus.conf"), "w") as bus_conf:
            bus_conf.write(standard.read().replace("<standard_session_servicedirs />", ""))
        bus = self.start(["dbus-daemon", "--config-file=bus.conf", "--nofork", "--print-address",
                          "--address=unix:dir=" + self.env["XDG_RUNTIME_DIR"]])
        self.assertTrue(harness.wait_until(lambda: "unix:" in bus.output()), bus.output())
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.output().splitlines()[0]

    def start_portal(self, desktop):
        self.portal_log = os.path.join(self.folder, "portal.log")
        portal = self.start(["/usr/bin/python3", self.fake_portal, self.portal_log, desktop])
        self.assertTrue(harness.wait_until(lambda: "ready" in portal.output()), portal.output())
        return portal

    def quit_tarnwick(self):
        self.app.terminate()
        self.assertEqual(self.app.wait(10), 0)

    def test_portals_bind_the_shortcuts_and_lend_a_keyboard_once(self):
        self.start_bus()
        self.env["XDG_STATE_HOME"] = os.path.join(self.folder, "state")
        portal = self.start_portal("full")

        # With sway's virtual keyboard: the ten shortcuts, and not the portal's keyboard.
        self.start_tarnwick()
        self.assertTrue(harness.wait_until(lambda: "registered" in self.app.output()),
                        self.app.output())
        expected = [["paste-%d" % n, {"description": "Paste entry %d" % n,
                                      "preferred_trigger": "CTRL+%d" % (n % 10)}]
                    for n in range(1, 11)]
        self.assertEqual(self.portal_calls("BindShortcuts")[0]["args"][1], expected)
        first = self.portal_calls()[0]
        self.assertEqual((first["method"], first["args"][0]), ("Register", "org.tarnwick.Tarnwick"))
        self.assertEqual([c["interface"] for c in self.portal_calls("CreateSession")],
                         ["org.freedesktop.portal.GlobalShortcuts"])
        self.quit_tarnwick()

        # Without one: consent is asked at the first start only, and each start
        # passes the token the one before was given.
        for start in range(2):
            self.start_tarnwick(TARNWICK_NO_VIRTUAL_KEYBOARD="1")
            # Its shortcuts' session too, or the portal would activate the last one's.
            told = lambda: all(line in self.app.output()
                               for line in ("registered", "lent Tarnwick a keyboard"))
            self.assertTrue(harness.wait_until(told), self.app.output())
            # Activated at once: wl-copy leaves as soon as its copy is read.
            self.copy("epsilon")
            self.run_here("dbus-send", "--session", "--dest=org.freedesktop.portal.Desktop",
                          "--print-reply", "/org/freedesktop/portal/desktop",
                          "org.tarnwick.FakePortal.Activate", "string:paste-1")
            pressed = lambda: [tuple(c["args"][2:]) for c in
                               self.portal_calls("NotifyKeyboardKeysym")]
            chord = [(0xffe3, 1), (ord("v"), 1), (ord("v"), 0), (0xffe3, 0)]
            self.assertTrue(harness.wait_until(lambda: pressed() == chord * (start + 1)),
                            (pressed(), self.app.output()))
            self.quit_tarnwick()
        selections = [(o["types"], o["persist_mode"], o.get("restore_token"))
                      for o in (c["args"][1] for c in self.portal_calls("SelectDevices"))]
        self.assertEqual(selections, [(1, 2, None), (1, 2, "token-1")])
        self.assertEqual(len(self.portal_calls("consent")), 1)

        # Neither keyboard: the user presses the paste key, and is told so once.
        portal.kill(), portal.wait()
        self.start_portal("bare")
        self.start_tarnwick(TARNWICK_NO_VIRTUAL_KEYBOARD="1")
        for row in ("1", "2"):
            self.assertEqual(self.run_here(self.tarnwick, "--paste", row).returncode, 0)
        self.assertTrue(harness.wait_until(lambda: self.portal_calls("Notify")))
        self.assertEqual(self.app.output().count("yourself"), 1, self.app.output())
        self.assertEqual(len(self.portal_calls("Notify")), 1)
        self.assertIn("Ctrl+V yourself", self.portal_calls("Notify")[0]["args"][4])


if __name__ == "__main__":
    harness.main()
