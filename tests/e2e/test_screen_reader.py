# SPDX-License-Identifier: MIT
"""The rows as a screen reader gets them through AT-SPI, walked with the
keyboard alone: each row's number and text, its expanded state, the expand
button's name. The session has its own D-Bus session bus and accessibility bus."""

import json
import os
import subprocess
import sys

from harness import TARNWICK, EndToEndTest, main, wait_until

# Run in its own interpreter: pyatspi binds to the session bus when imported.
READER = r"""
import json, pyatspi
def rows_list(node, depth=0):
    if node.getRoleName() == "list":
        return node
    for i in range(node.childCount if depth < 6 else 0):
        child = node.getChildAtIndex(i)
        found = child and rows_list(child, depth + 1)
        if found:
            return found
for app in pyatspi.Registry.getDesktop(0):
    if app and app.name == "Tarnwick":
        rows = []
        # The row fields come first, the editor's widgets after them.
        for field in (f for f in rows_list(app) if f.name.startswith("Row ")):
            text = field.queryText()
            states = field.getState()
            button = [c.name for c in field if c.getRoleName() == "push button"]
            rows.append({"name": field.name, "text": text.getText(0, text.characterCount),
                         "focused": states.contains(pyatspi.STATE_FOCUSED),
                         "expanded": states.contains(pyatspi.STATE_EXPANDED),
                         "checked": states.contains(pyatspi.STATE_CHECKED),
                         "button": button[0] if button else None})
        print(json.dumps(rows))
"""


class ScreenReaderTest(EndToEndTest):
    def setUp(self):
        super().setUp()
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(lambda: (bus.kill(), bus.wait(), bus.stdout.close()))
        self.x.env.update(DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(),
                          QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        # The accessibility bus; the registry starts on it when first asked for.
        self.x.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])

    def rows(self):
        result = subprocess.run(["/usr/bin/python3", "-c", READER], env=self.x.env,
                                capture_output=True, text=True, timeout=20)
        self.reader_errors = result.stderr
        return json.loads(result.stdout) if result.stdout.strip() else []

    def row(self, number, field):
        """A field of a row as read: field 0 its number, 1 its text."""
        rows = self.rows()
        index = 2 * (number - 1) + field
        return rows[index] if index < len(rows) else {}

    def key(self, name, until, message=None):
        """Presses name and waits until until(); the rows as read when not."""
        self.x.xdotool("key", name)
        self.assertEventually(until, message or (lambda: str(self.rows())), 10)

    def test_rows_read_and_walked_by_keyboard(self):
        app = self.x.start([TARNWICK])
        window = self.x.window("^Tarnwick$", 10)
        self.assertTrue(window, app.error_output())
        self.x.copy("first line\nsecond", read=True)
        self.x.copy("newest", read=True)
        self.assertEventually(lambda: len(self.rows()) == 4, lambda: self.reader_errors, 10)
        rows = self.rows()
        self.assertEqual([(r["name"], r["text"]) for r in rows],
                         [("Row 1 number", "1"), ("Row 1", "newest"),
                          ("Row 2 number", "2"), ("Row 2", "first line\nsecond")])
        self.assertEqual([r["button"] for r in rows], [None, None, None, "Expand"])
        self.assertFalse(any(r["checked"] for r in rows))
        # Without a window manager nobody hands out the focus; the window
        # opened with the keyboard on the rows, at row 1.
        self.x.xdotool("windowfocus", "--sync", window)
        self.assertEventually(lambda: self.row(1, 1).get("focused"), lambda: str(self.rows()))
        # Shift+Tab leaves the rows for the toggles, Tab comes back.
        self.key("shift+Tab", lambda: not self.row(1, 1).get("focused"), "still on the rows")
        self.key("Tab", lambda: self.row(1, 1).get("focused"))
        self.key("Down", lambda: self.row(2, 1).get("focused"))
        self.key("Right", lambda: self.row(2, 1).get("expanded"))
        self.assertEqual(self.row(2, 1)["button"], "Collapse")
        self.key("Left", lambda: not self.row(2, 1).get("expanded"))
        # Return edits the text; what is typed reaches the history and the reader.
        self.x.xdotool("key", "Return")
        self.key("x", lambda: self.row(2, 1).get("text") == "x")
        self.key("Escape", lambda: self.row(2, 1).get("focused"))
        # The row's menu by keyboard: its last item, "Delete All", empties the
        # history and the X clipboard with it.
        shown = self.x.windows()
        self.key("Menu", lambda: self.x.windows() - shown, "no menu opened")
        self.x.xdotool("key", "Up")
        self.key("Return", lambda: not self.rows() and self.x.clipboard() is None)
        self.assertTrue(app.running(), app.error_output())


if __name__ == "__main__":
    main()
