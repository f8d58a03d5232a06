# SPDX-License-Identifier: MIT
"""A desktop's portal for the tests on the session bus it is started on: GlobalShortcuts
(version 1), RemoteDesktop (version 2) and notifications, or ("bare") notifications only.
Shortcut sessions get an object path for a handle (as on KDE), keyboard ones a string (as on
GNOME). Every call, and the consent a Start without a good restore token would ask for, is
logged as a JSON line. org.tarnwick.FakePortal.Activate(id) sends that shortcut's Activated.

    fake_portal.py LOG full|bare"""

import itertools
import json
import sys

import dbus
from dbus.lowlevel import (HANDLER_RESULT_HANDLED, HANDLER_RESULT_NOT_YET_HANDLED,
                           MESSAGE_TYPE_METHOD_CALL, MethodReturnMessage, SignalMessage)
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
VERSIONS = {SHORTCUTS: 1, "org.freedesktop.portal.RemoteDesktop": 2}


class Portal:
    """Each D-Bus method is the one of the same name below, which returns None, the reply as
    (signature, value), or for a request the results its Response carries."""

    def __init__(self, bus, log):
        self.bus, self.log = bus, log
        self.numbers = itertools.count(1)
        self.tokens = set()  # restore tokens handed out and not yet spent
        self.restore, self.devices = "", 0
        self.bound = "/"  # the session the shortcuts were bound in

    def record(self, method, **args):
        with open(self.log, "a") as log:
            log.write(json.dumps(dict(method=method, **args)) + "\n")

    def dispatch(self, bus, call):
        member = call.get_member() or ""
        if call.get_type() != MESSAGE_TYPE_METHOD_CALL or not member[:1].isupper() \
                or not hasattr(self, member):
            return HANDLER_RESULT_NOT_YET_HANDLED
        self.call, args = call, call.get_args_list()
        result = getattr(self, member)(*args)
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

    def Register(self, app_id, options):
        self.record("Register", app_id=app_id)

    def CreateSession(self, options):
        self.record("CreateSession", interface=self.call.get_interface().split(".")[-1])
        path = self.path("session", options["session_handle_token"])
        shortcuts = self.call.get_interface() == SHORTCUTS
        return {"session_handle": dbus.ObjectPath(path) if shortcuts else dbus.String(path)}

    def BindShortcuts(self, session, shortcuts, parent, options):
        self.record("BindShortcuts", shortcuts=shortcuts)
        self.bound = session
        return {}

    def SelectDevices(self, session, options):
        self.record("SelectDevices", options={k: v for k, v in options.items()
                                              if k != "handle_token"})
        self.restore, self.devices = options.get("restore_token", ""), options["types"]
        return {}

    def Start(self, session, parent, options):
        # A token is good once; without a good one the user is asked.
        if self.restore not in self.tokens:
            self.record("consent")
        self.tokens.discard(self.restore)
        token = "token-%d" % next(self.numbers)
        self.tokens.add(token)
        return {"devices": dbus.UInt32(self.devices), "restore_token": token}

    def NotifyKeyboardKeysym(self, session, options, keysym, state):
        self.record("NotifyKeyboardKeysym", keysym=keysym, state=state)

    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.record("Notify", body=body)
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
