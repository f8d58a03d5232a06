# SPDX-License-Identifier: MIT
"""A desktop portal of our own for the tests, on the session bus it is started
on: GlobalShortcuts (version 1) and RemoteDesktop (version 2), answering as
xdg-desktop-portal does for GNOME ("s" session handles) or KDE ("o"), or
offering neither ("bare"); and the notification service. Every
call is appended to a log, one JSON object a line; the consent dialog a
RemoteDesktop start would show is logged as "consent". The tests drive it
through org.tarnwick.FakePortal: Activate(id) sends a shortcut's Activated.

    fake_portal.py LOG gnome|kde|bare"""

import itertools
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REMOTE = "org.freedesktop.portal.RemoteDesktop"
VERSIONS = {SHORTCUTS: 1, REMOTE: 2}
NOTIFICATIONS = "org.freedesktop.Notifications"


def plain(value):  # a D-Bus value as JSON takes it
    if isinstance(value, dict):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (list, tuple)):
        return [plain(v) for v in value]
    return int(value) if isinstance(value, int) else str(value)


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


class Remote(dbus.service.Object):
    """RemoteDesktop's half: python-dbus finds each CreateSession by class."""
    def __init__(self, bus, log, desktop):
        super().__init__(bus, PATH)
        self.bus, self.log, self.desktop = bus, log, desktop
        self.numbers = itertools.count(1)
        self.tokens = set()  # restore tokens handed out and not yet spent
        self.bound = "/"  # the session the shortcuts were bound in
        self.keeps = []  # exported objects and owned names

    def record(self, method, **args):
        with open(self.log, "a") as log:
            log.write(json.dumps(dict(method=method, **plain(args))) + "\n")

    def respond(self, sender, options, results):
        """The request's path, and its Response a moment after the reply."""
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), options["handle_token"])
        request = Request(self.bus, path)
        self.keeps.append(request)
        GLib.timeout_add(5, lambda: request.Response(
            dbus.UInt32(0), dbus.Dictionary(results, signature="sv")) and False)
        return dbus.ObjectPath(path)

    def session(self, sender, options):
        path = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"),
                                     options["session_handle_token"])
        return dbus.String(path) if self.desktop == "gnome" else dbus.ObjectPath(path)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss",
                         out_signature="v")
    def Get(self, interface, name):
        if interface not in VERSIONS or name != "version" or self.desktop == "bare":
            raise dbus.exceptions.DBusException("no such property",
                                                name="org.freedesktop.DBus.Error.InvalidArgs")
        return dbus.UInt32(VERSIONS[interface])

    def create(self, interface, sender, options):
        self.record("CreateSession", interface=interface)
        return self.respond(sender, options, {"session_handle": self.session(sender, options)})

    @dbus.service.method(REMOTE, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender):
        return self.create("RemoteDesktop", sender, options)

    @dbus.service.method(REMOTE, in_signature="oa{sv}", out_signature="o",
                         sender_keyword="sender")
    def SelectDevices(self, session, options, sender):
        self.record("SelectDevices", options={k: v for k, v in options.items()
                                              if k != "handle_token"})
        self.restore = str(options.get("restore_token", ""))
        self.devices = int(options.get("types", 0))
        return self.respond(sender, options, {})

    @dbus.service.method(REMOTE, in_signature="osa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Start(self, session, parent, options, sender):
        # A token is good once; without a good one the user is asked.
        if self.restore in self.tokens:
            self.tokens.discard(self.restore)
        else:
            self.record("consent")
        token = "token-%d" % next(self.numbers)
        self.tokens.add(token)
        self.record("Start")
        return self.respond(sender, options, {"devices": dbus.UInt32(self.devices),
                                              "restore_token": token})

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu")
    def NotifyKeyboardKeysym(self, session, options, keysym, state):
        self.record("NotifyKeyboardKeysym", keysym=keysym, state=state)


class Notifications(dbus.service.Object):
    def __init__(self, bus, portal):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.portal = portal

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.portal.record("Notify", body=body)
        return dbus.UInt32(1)


class Portal(Remote):
    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o",
                         sender_keyword="sender")
    def CreateSession(self, options, sender):
        return self.create("GlobalShortcuts", sender, options)

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, options, sender):
        self.record("BindShortcuts", shortcuts=shortcuts)
        self.bound = str(session)
        bound = [(id_, {"description": props["description"],
                        "trigger_description": props.get("preferred_trigger", "")})
                 for id_, props in shortcuts]
        return self.respond(sender, options, {"shortcuts": dbus.Array(bound,
                                                                      signature="(sa{sv})")})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut, timestamp, options):
        pass

    @dbus.service.method("org.freedesktop.host.portal.Registry", in_signature="sa{sv}")
    def Register(self, app_id, options):
        self.record("Register", app_id=app_id)

    @dbus.service.method("org.tarnwick.FakePortal", in_signature="s")
    def Activate(self, shortcut):
        self.Activated(dbus.ObjectPath(self.bound), shortcut, dbus.UInt64(0),
                       dbus.Dictionary({}, signature="sv"))


def main():
    log, desktop = sys.argv[1:3]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, log, desktop)
    portal.keeps += [Notifications(bus, portal), dbus.service.BusName(NOTIFICATIONS, bus),
                     dbus.service.BusName("org.freedesktop.portal.Desktop", bus)]
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
