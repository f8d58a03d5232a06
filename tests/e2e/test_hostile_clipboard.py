# SPDX-License-Identifier: MIT
"""What other programs do to the clipboard and the display must neither stall nor end
Tarnwick, nor cost a copy: owners that hang, die mid-transfer, copy in quick runs or
answer slowly, secrets and file lists, a keyboard layout change, the X server going away."""

import subprocess

import harness


class HostileClipboard(harness.EndToEndTest):
    def test_bad_owners_add_nothing_and_the_paste_chord_follows_the_layout(self):
        self.start_with_target()
        self.x.copy("alpha")
        self.press("ctrl+1", "alpha")
        for mode in ("hang", "die-mid-incr", "trickle", "endless"):
            with self.subTest(mode):
                self.fault_owner(mode)
                # A read ends a second after it began: the copy right after it
                # is read then, well within the five seconds one read used to block.
                self.x.copy(mode, read=True)
                self.press("ctrl+1", mode, timeout=3.0)
        # The bad owners added nothing between the copies.
        self.press("ctrl+5", "alpha")
        # Every copy read is kept, in order: from an owner that copies again as
        # soon as its copy was read, and from one that copies three times a second.
        for argv in (["relay", "10"], ["steady", "10", "300"]):
            with self.subTest(argv[0]):
                owner = self.x.start([harness.FAULT_OWNER, *argv])
                self.assertEventually(lambda: owner.output().count("asked UTF8_STRING") >= 10,
                                      owner.output, timeout=10)
                for digit, n in zip("1234567890", range(10, 0, -1)):
                    self.press("ctrl+" + digit, "%s-%d" % (argv[0], n))
        # A hot key a tenth of a second after a copy that takes 0.7 s to read
        # pastes that copy, which is then kept, never an older entry.
        owner = self.fault_owner("slow", "TARGETS", "late")
        self.press("ctrl+1", "late")
        self.assertEventually(lambda: "asked UTF8_STRING" in owner.output(), owner.output)
        self.press("ctrl+2", "steady-10")
        self.press("ctrl+1", "late")
        # Texts in older forms, or after a notice of another property, are
        # texts; a secret, files and 32-bit data are not.
        newest = "late"
        for mode, asked, data, kept in (
                ("compound", "COMPOUND_TEXT", "na\u00efve \u00e9t\u00e9", True),
                ("latin1", "STRING", "caf\u00e9", True),
                ("incr", "UTF8_STRING", "chunked " * 2000, True),
                ("stray", "UTF8_STRING", "after a stray notice", True),
                ("secret", "x-kde-passwordManagerHint", "hunter2", False),
                ("uri-list", "TARGETS", "file:///tmp/report.pdf", False),
                ("wide", "UTF8_STRING", "wide", False)):
            with self.subTest(mode):
                self.fault_owner(mode, asked, data)
                self.press("ctrl+1", data if kept else newest)
                newest = "after " + mode
                self.x.copy(newest, read=True)
        self.assertEqual(self.x.run("setxkbmap", "us", "dvorak").returncode, 0)  # layout, variant
        self.x.copy("gamma")
        # Nothing came between the two, and V is another key on Dvorak.
        self.press("ctrl+2", newest)
        self.press("ctrl+1", "gamma")
        self.assertNotIn("Ctrl+K", self.target.keys())
        # A shortcut holds Ctrl + the key of Q (code 24); the digit 1 moved
        # there is grabbed anew and left to that program, which is named.
        self.fault_owner("grab", "", "24")
        moved = ('xkb_keymap { xkb_keycodes { include "evdev+aliases(qwerty)" }; xkb_types '
                 '{ include "complete" }; xkb_compat { include "complete" }; xkb_symbols { include '
                 '"pc+us+inet(evdev)" key <AD01> { [ 1 ] }; key <AE01> { [ q ] }; }; };')
        subprocess.run(["xkbcomp", "-w", "0", "-", self.x.display], input=moved.encode(),
                       env=self.x.env, check=True)
        left = "Another program holds ctrl+1; Tarnwick leaves it to that program.\n"
        self.assertEventually(lambda: self.app.output() == left, self.app.output)


class ServerLoss(harness.EndToEndTest):
    def test_losing_the_x_server_ends_the_program_once_with_status_1(self):
        # The crash this guards against struck about every other run.
        for run in range(4):
            with self.subTest(run=run):
                session = harness.Session() if run else self.x
                if run:
                    self.addCleanup(session.close)
                app = session.start([harness.TARNWICK])
                self.assertTrue(session.window("^Tarnwick$", 10), app.error_output())
                session.copy("alpha")
                session.server.kill()
                self.assertEqual(app.wait(10), 1, app.error_output())
                # Qt's own line, or Tarnwick's when one of its threads noticed first.
                self.assertRegex(app.error_output(), "X11 connection broke|X server")


if __name__ == "__main__":
    harness.main()
