# SPDX-License-Identifier: MIT
"""The rows as a screen reader gets them through AT-SPI, on the session's own buses:
each row's number and text, its states, the expand button's name."""

import json
import subprocess

from harness import TARNWICK, EndToEndTest, main

# Run in its own interpreter: pyatspi binds to the session bus when imported.
READER = r"""
import json, pyatspi
for app in pyatspi.Registry.getDesktop(0):
    if app and app.name == "Tarnwick":
        rows_list = pyatspi.findDescendant(app, lambda node: node.getRoleName() == "list")
        rows = []
        # The row fields come first, the editor's widgets after them.
        for field in (f for f in rows_list if f.name.startswith("Row ")):
            text = field.queryText()
            states = field.getState()
            button = [c.name for c in field if c.getRoleName() == "push button"]
            rows.append({"name": field.name, "text": text.getText(0, text.characterCount),
                         "focused": states.contains(pyatspi.STATE_FOCUSED),
                         "expanded": states.contains(pyatspi.STATE_EXPANDED),
                         "button": button[0] if button else None})
        print(json.dumps(rows))
"""


class ScreenReaderTest(EndToEndTest):
    def rows(self, key=None):
        """The fields as read: row N's number at 2N - 2, its text at 2N - 1."""
        result = subprocess.run(["/usr/bin/python3", "-c", READER], env=self.x.env,
                                capture_output=True, text=True, timeout=20)
        self.reader_errors = result.stderr
        rows = json.loads(result.stdout) if result.stdout.strip() else []
        return [row[key] for row in rows] if key else rows

    def test_rows_states_and_edits_read_over_at_spi(self):
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(lambda: (bus.kill(), bus.wait(), bus.stdout.close()))
        self.x.env.update(DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(),
                          QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        # The accessibility bus; the registry starts on it when first asked for.
        self.x.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        app = self.x.start([TARNWICK])
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, app.error_output())
        self.x.copy("older", read=True)
        self.x.copy("first line\nsecond", read=True)
        # Without a window manager nobody hands out the focus; the window
        # opened with the keyboard on the rows, at row 1's text alone.
        self.x.xdotool("windowfocus", "--sync", window)
        for keys, field, expected in (("", "name", ["Row 1 number", "Row 1", "Row 2 number",
                                                    "Row 2"]),
                                      ("", "text", ["1", "first line\nsecond", "2", "older"]),
                                      ("", "focused", [False, True, False, False]),
                                      ("Right", "expanded", [False, True, False, False]),
                                      ("", "button", [None, "Collapse", None, None]),
                                      ("Return x", "text", ["1", "x", "2", "older"])):
            if keys:
                self.x.xdotool("key", *keys.split())
            self.assertEventually(lambda: self.rows(field) == expected,
                                  lambda: "%s %s" % (self.rows(), self.reader_errors), 10)
        # The row's menu by keyboard: its last item, "Delete All", empties the
        # history and the X clipboard with it.
        shown = self.x.windows()
        self.x.xdotool("key", "Escape", "Menu")
        self.assertEventually(lambda: self.x.windows() - shown, "no menu opened")
        self.x.xdotool("key", "Up", "Return")
        self.assertEventually(lambda: not self.rows() and self.x.clipboard() is None,
                              lambda: str(self.rows()), 10)
        self.assertTrue(app.running(), app.error_output())


if __name__ == "__main__":
    main()
