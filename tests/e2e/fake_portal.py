# SPDX-License-Identifier: MIT
"""fake_portal.py LOG full|bare: a desktop's portal for the tests, on the session bus it is
started on: GlobalShortcuts (version 1), RemoteDesktop (version 2) and notifications, or the
notifications only. Shortcut sessions get object paths for handles (as on KDE), keyboard ones
strings (as on GNOME). Each call it answers, and the consent a Start without the last restore
token would ask for, goes to LOG as a JSON line. org.tarnwick.FakePortal.Activate(id) sends
Activated(id)."""

import itertools
import json
import sys

import dbus
from dbus.lowlevel import (HANDLER_RESULT_HANDLED, HANDLER_RESULT_NOT_YET_HANDLED,
                           MESSAGE_TYPE_METHOD_CALL, ErrorMessage, MethodReturnMessage,
                           SignalMessage)
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
VERSIONS = {SHORTCUTS: 1, "org.freedesktop.portal.RemoteDesktop": 2}


class Portal:
    """The method named as a call answers it, returning None, the reply as (signature,
    value), or for a request the results its Response carries."""

    def __init__(self, bus, log):
        self.bus, self.log = bus, log
        self.numbers = itertools.count(1)
        self.token = None  # the restore token last handed out, the only good one
        self.restore, self.devices = "", 0
        self.bound = "/"  # the session the shortcuts were bound in

    def record(self, method, interface="", args=()):
        with open(self.log, "a") as log:
            log.write(json.dumps(dict(method=method, interface=interface, args=args)) + "\n")

    def dispatch(self, bus, call):
        member = call.get_member() or ""
        if call.get_type() != MESSAGE_TYPE_METHOD_CALL or not member[:1].isupper():
            return HANDLER_RESULT_NOT_YET_HANDLED
        self.call, args = call, call.get_args_list()
        self.record(member, call.get_interface(), args)
        try:
            result = getattr(self, member)(*args)
        except Exception as error:  # an unknown method, say; one let out stops the filter
            bus.send_message(ErrorMessage(call, "org.freedesktop.DBus.Error.Failed", repr(error)))
            return HANDLER_RESULT_HANDLED
        reply = MethodReturnMessage(call)
        if isinstance(result, dict):  # a request: its path in the reply, its Response after
            path = self.path("request", args[-1]["handle_token"])
            reply.append(dbus.ObjectPath(path), signature="o")
            bus.send_message(reply)
            reply = SignalMessage(path, "org.freedesktop.portal.Request", "Response")
            reply.append(0, result, signature="ua{sv}")
        elif result:
            reply.append(result[1], signature=result[0])
        bus.send_message(reply)
        return HANDLER_RESULT_HANDLED

    def path(self, kind, token):
        return "%s/%s/%s/%s" % (PATH, kind, self.call.get_sender()[1:].replace(".", "_"), token)

    def Get(self, interface, name):
        return "v", dbus.UInt32(VERSIONS[interface])

    Register = NotifyKeyboardKeysym = staticmethod(lambda *args: None)  # logged, no more

    def CreateSession(self, options):
        path = self.path("session", options["session_handle_token"])
        shortcuts = self.call.get_interface() == SHORTCUTS
        return {"session_handle": dbus.ObjectPath(path) if shortcuts else dbus.String(path)}

    def BindShortcuts(self, session, shortcuts, parent, options):
        self.bound = session
        return {}

    def SelectDevices(self, session, options):
        self.restore, self.devices = options.get("restore_token", ""), options["types"]
        return {}

    def Start(self, session, parent, options):
        if self.restore != self.token:  # the user is asked
            self.record("consent")
        self.token = "token-%d" % next(self.numbers)
        return {"devices": dbus.UInt32(self.devices), "restore_token": self.token}

    def Notify(self, *args):
        return "u", 1

    def Activate(self, shortcut):
        activated = SignalMessage(PATH, SHORTCUTS, "Activated")
        activated.append(dbus.ObjectPath(self.bound), shortcut, 0, {}, signature="osta{sv}")
        self.bus.send_message(activated)


def main():
    log, desktop = sys.argv[1:3]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    bus.add_message_filter(Portal(bus, log).dispatch)
    bus.request_name("org.freedesktop.Notifications")
    if desktop != "bare":
        bus.request_name("org.freedesktop.portal.Desktop")
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
