#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Window shown -> painted, from outside, for Tarnwick and a peer clipboard
manager (CopyQ) in the same run, each on a private Xvfb with openbox and a tray
(trayer), as on a desktop, each holding the same texts (--entries, copied by
xclip), so there is a list to paint. A show is a user's click with the XTest
mouse: for Tarnwick the click on "Settings" in its status menu (opened by a
click on its icon first), for CopyQ the click on its tray icon, which shows
its window. The clock runs from the button press to the moment the window is
viewable and what the program drew into it (the DAMAGE extension reports each
drawing) is no longer one uniform colour (the window's pixels read back with
GetImage), both times taken by the X server's clock (whole milliseconds).
Between shows the window is closed as its close button would (openbox is asked
to close it) and left alone for a moment. The first show is not counted; the
two programs take turns, so a busy machine slows both alike.

  python3 bench/window_shown.py [--build build/release] [--shows N] [--entries N]
"""

import argparse
import select
import time

import xbench
from xbench import X, harness
from Xlib import Xatom
from Xlib.error import XError
from Xlib.ext import damage, xtest
from Xlib.protocol import event as xevent


class Watcher:
    """A connection of our own that sees every top-level window created and
    every drawing into them, each with the server's time."""

    def __init__(self, session):
        self.display = xbench.own_display(session)
        self.display.set_error_handler(lambda *_: None)  # a window may be gone meanwhile
        self.display.damage_query_version()
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        for child in self.root.query_tree().children:
            self.watch(child)
        self.display.sync()

    def watch(self, window):
        window.damage_create(damage.DamageReportNonEmpty)

    def events(self, until):
        """The events that come before the monotonic time until."""
        while True:
            while self.display.pending_events():
                event = self.display.next_event()
                if event.type == X.CreateNotify:
                    self.watch(event.window)
                    self.display.flush()
                yield event
            left = until - time.monotonic()
            if left <= 0:
                return
            select.select([self.display.fileno()], [], [], left)

    def drain(self):
        for _ in self.events(time.monotonic()):
            pass


class Subject:
    """One program on its own desktop, shown and closed by our own X client."""

    def __init__(self, name):
        self.name = name
        self.session = xbench.new_session(tray=True, wm=True)
        self.display = xbench.own_display(self.session)
        self.display.set_error_handler(lambda *_: None)
        self.root = self.display.screen().root
        # An unmapped window of ours whose property changes tell the server's time.
        self.clock = self.root.create_window(0, 0, 1, 1, 0, self.display.screen().root_depth,
                                             event_mask=X.PropertyChangeMask)
        self.watcher = Watcher(self.session)
        self.window = None  # the shown window, once found
        self.samples = []

    def server_time(self):
        self.clock.change_property(Xatom.WM_NAME, Xatom.STRING, 8, b"t")
        self.display.flush()
        while True:
            event = self.display.next_event()
            if event.type == X.PropertyNotify and event.window.id == self.clock.id:
                return event.time

    def click_at(self, x, y):
        """Moves the mouse to (x, y), lets hover effects settle, and clicks; the
        server's time just before the button press."""
        xtest.fake_input(self.display, X.MotionNotify, x=x, y=y)
        self.display.sync()
        time.sleep(0.3)
        self.watcher.drain()
        pressed = self.server_time()
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.flush()
        return pressed

    def centre(self, window, y_fraction=0.5):
        g = dict(line.split("=") for line in
                 self.session.xdotool("getwindowgeometry", "--shell", window).split())
        return (int(g["X"]) + int(g["WIDTH"]) // 2,
                int(g["Y"]) + int(int(g["HEIGHT"]) * y_fraction))

    @staticmethod
    def viewable(window):
        try:
            return window.get_attributes().map_state == X.IsViewable
        except XError:  # destroyed
            return False

    @staticmethod
    def drawn(window):
        """The window shows something other than one colour."""
        try:
            g = window.get_geometry()
            image = window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF).data
        except XError:
            return False
        return image.count(image[:4]) * 4 != len(image)

    def painted_after(self, pressed, deadline=10.0):
        """Milliseconds from the server time pressed to the first drawing into
        the program's window that leaves it viewable and not uniform."""
        for event in self.watcher.events(time.monotonic() + deadline):
            if event.type != self.watcher.display.extension_event.DamageNotify:
                continue
            self.watcher.display.damage_subtract(event.damage)
            window = self.display.create_resource_object("window", event.drawable.id)
            if self.is_main(window) and self.viewable(window) and self.drawn(window):
                self.window = window
                return event.timestamp - pressed
        return None

    def close_window(self):
        """Asks the window manager to close the window, as its close button does."""
        message = xevent.ClientMessage(
            window=self.window, client_type=self.display.intern_atom("_NET_CLOSE_WINDOW"),
            data=(32, [X.CurrentTime, 2, 0, 0, 0]))
        self.root.send_event(message, event_mask=X.SubstructureRedirectMask |
                             X.SubstructureNotifyMask)
        self.display.sync()
        if not harness.wait_until(lambda: not self.viewable(self.window), 5):
            raise RuntimeError("%s: the window did not close" % self.name)
        time.sleep(0.7)

    def show_once(self, timed):
        if self.window is not None:
            self.close_window()
        latency = self.painted_after(self.click_to_show())
        if latency is None:
            raise RuntimeError("%s: the window was not painted" % self.name)
        if timed:
            self.samples.append(latency)

    def close(self):
        self.watcher.display.close()
        self.display.close()
        self.session.close()


class Tarnwick(Subject):
    def __init__(self):
        super().__init__("tarnwick")
        self.program = self.session.start([harness.TARNWICK])
        icons = []
        if not harness.wait_until(lambda: icons.extend(self.session.windows()) or icons, 10):
            raise RuntimeError("tarnwick showed no status icon: " + self.program.error_output())
        self.icon = icons[0]

    def is_main(self, window):
        try:
            return window.get_wm_name() == "Tarnwick"
        except XError:
            return False

    def click_to_show(self):
        shown, menu = self.session.windows(), []
        self.click_at(*self.centre(self.icon))
        if not harness.wait_until(lambda: menu.extend(self.session.windows() - shown) or menu):
            raise RuntimeError("the status menu did not open")
        # "Settings" is the first of the menu's two items.
        return self.click_at(*self.centre(menu[0], 0.25))


class CopyQ(Subject):
    def __init__(self):
        super().__init__("copyq")
        self.peer = xbench.Peer(self.session)
        self.icon = None
        # Its tray icon: the only window of its class inside the tray.
        panel = self.session.window("^panel$", 10)
        deadline = time.monotonic() + 10
        while self.icon is None and time.monotonic() < deadline:
            for window in self.session.run("xdotool", "search", "--onlyvisible", "--class",
                                           "copyq").stdout.split():
                if self.inside(window, panel):
                    self.icon = window
            time.sleep(0.2)
        if self.icon is None:
            raise RuntimeError("copyq showed no tray icon")

    def inside(self, window, ancestor):
        node = self.display.create_resource_object("window", int(window))
        while node.id != self.root.id:
            node = node.query_tree().parent
            if node.id == int(ancestor):
                return True
        return False

    def is_main(self, window):
        # Its main window; the icon, menus and pop-ups are other windows.
        try:
            return (window.id != int(self.icon) and "copyq" in (window.get_wm_class() or ())
                    and window.get_geometry().width > 200)
        except XError:
            return False

    def click_to_show(self):
        return self.click_at(*self.centre(self.icon))

    def close(self):
        self.peer.close()
        super().close()


def report(subject):
    samples = subject.samples
    if not samples:
        print("%s: no show measured" % subject.name)
        return None
    median, p90 = xbench.nearest_rank(samples, 0.5), xbench.nearest_rank(samples, 0.9)
    print("window_shown_ms subject=%s n=%d median=%.1f p90=%.1f min=%.1f max=%.1f" % (
        subject.name, len(samples), median, p90, min(samples), max(samples)), flush=True)
    return median


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", help="build folder whose bin/ holds tarnwick")
    parser.add_argument("--shows", type=int, default=20, help="timed shows per program")
    parser.add_argument("--entries", type=int, default=20, help="texts copied to each first")
    options = parser.parse_args()
    xbench.use_build(options.build)
    subjects = [Tarnwick()]
    try:
        if xbench.have_copyq():
            subjects.append(CopyQ())
        else:
            print("copyq is not installed: Tarnwick alone", flush=True)
        time.sleep(2)  # both settle after start
        # A list to paint: distinct texts of one to three lines, copied by
        # another program a little apart, as a user copies.
        owners = []
        for i in range(options.entries):
            text = "\n".join("entry %d, line %d of a copied text" % (i, n) for n in range(1 + i % 3))
            for subject in subjects:
                owners.append(subject.session.copy(text))
            time.sleep(0.3)
        for show in range(options.shows + 1):
            for subject in subjects:
                subject.show_once(timed=show > 0)
    finally:
        for subject in subjects:
            subject.close()
    medians = [report(subject) for subject in subjects]
    if len(medians) == 2 and all(medians):
        print("tarnwick / copyq (medians): %.2f" % (medians[0] / medians[1]), flush=True)


if __name__ == "__main__":
    main()
