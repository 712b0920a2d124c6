#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes a screen reader's standard calls on every accessible object of one program.

Usage: atspi-getall.py BUS-ADDRESS PID

Walks the objects the program PID shows on the accessibility bus at BUS-ADDRESS, calls
org.freedesktop.DBus.Properties.GetAll on each with every interface name, then two calls that
are short of arguments. All calls go over one connection of this process: starting a process a
call made the walk's time depend on how busy the machine was, while the calls take milliseconds.
Exit: 0 the program answered everything and is alive; 1 it died, hung on a call, or never came
up on the bus; 2 a usage or library error.
"""
import sys
import time

try:
    from gi.repository import Gio, GLib
except ImportError as error:
    print(f"atspi-getall: no D-Bus library for Python ({error})", file=sys.stderr)
    sys.exit(2)

ROOT = "/org/a11y/atspi/accessible/root"
INTERFACES = ["org.a11y.atspi.Accessible", "org.a11y.atspi.Application",
              "org.a11y.atspi.Action", "org.a11y.atspi.Component",
              "org.a11y.atspi.EditableText", "org.a11y.atspi.Selection",
              "org.a11y.atspi.Table", "org.a11y.atspi.Text", "org.a11y.atspi.Value", ""]
LIMIT = 1000  # objects; the window has about a hundred
# A call the program has not answered by then hangs: a healthy one answers in milliseconds,
# so this only bounds how long a hang takes to be told, whatever else the machine is doing.
CALL_TIMEOUT_MS = 60_000
START_LIMIT_S = 120  # a window shows in well under a second; this only bounds a failed start


class Died(Exception):
    pass


def gone(pid):
    """True once the program has ended; a zombie counts as ended."""
    try:
        with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] == "Z"
    except (FileNotFoundError, ProcessLookupError):
        return True


class Bus:
    def __init__(self, address, pid):
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.connection = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)
        self.pid = pid

    def call(self, destination, path, interface, method, arguments=None, signature=None):
        """The reply's values, or the error's text for a refusal."""
        parameters = GLib.Variant(signature, arguments) if signature else None
        try:
            return self.connection.call_sync(destination, path, interface, method, parameters,
                                             None, Gio.DBusCallFlags.NONE, CALL_TIMEOUT_MS,
                                             None).unpack()
        except GLib.Error as error:
            return error.message

    def answered_alive(self, reply, what):
        """Judges the program by the reply to one call: no reply means it died or hangs."""
        if isinstance(reply, str) and ("NoReply" in reply or "ServiceUnknown" in reply
                                       or "Timeout" in reply):
            for _ in range(50):
                if gone(self.pid):
                    break
                time.sleep(0.1)
            if not gone(self.pid):
                raise Died(f"no answer to {what}: {reply}")
        if gone(self.pid):
            raise Died(f"it died after {what}: {reply if isinstance(reply, str) else 'answered'}")

    def program_name(self):
        """The program's unique name on the bus, once its window is there."""
        give_up = time.monotonic() + START_LIMIT_S
        while True:
            if gone(self.pid):
                raise Died("it died while starting")
            if time.monotonic() > give_up:
                raise Died(f"never appeared on the accessibility bus in {START_LIMIT_S} s")
            names = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "ListNames")
            for name in names[0] if isinstance(names, tuple) else []:
                if not name.startswith(":"):
                    continue
                owner = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus", "GetConnectionUnixProcessID", (name,),
                                  "(s)")
                if owner != (self.pid,):
                    continue
                children = self.call(name, ROOT, "org.a11y.atspi.Accessible", "GetChildren")
                if isinstance(children, tuple) and children[0]:
                    return name
            time.sleep(0.2)


def walk(bus, name):
    objects = [ROOT]
    index = 0
    while index < len(objects) and index < LIMIT:
        reply = bus.call(name, objects[index], "org.a11y.atspi.Accessible", "GetChildren")
        bus.answered_alive(reply, f"GetChildren on {objects[index]}")
        if isinstance(reply, tuple):
            objects.extend(path for _, path in reply[0])
        index += 1
    return objects


def main(arguments):
    if len(arguments) != 2 or not arguments[1].isdigit():
        print(__doc__, file=sys.stderr)
        return 2
    bus = Bus(arguments[0], int(arguments[1]))
    try:
        name = bus.program_name()
        objects = walk(bus, name)
        print(f"Pairwick ({name}) shows {len(objects)} accessible objects")
        answered = refused = 0
        for path in objects:
            for interface in INTERFACES:
                reply = bus.call(name, path, "org.freedesktop.DBus.Properties", "GetAll",
                                 (interface,), "(s)")
                bus.answered_alive(reply, f'GetAll("{interface}") on {path}')
                if isinstance(reply, tuple):
                    answered += 1
                else:
                    refused += 1
        print(f"GetAll: {answered} answered, {refused} refused with an error, "
              f"on {answered + refused} calls")
        # The same fault, reached by calls short of an argument.
        reply = bus.call(name, ROOT, "org.freedesktop.DBus.Properties", "Get",
                         ("org.a11y.atspi.Accessible",), "(s)")
        bus.answered_alive(reply, f"Properties.Get with one argument on {ROOT}")
        reply = bus.call(name, ROOT, "org.a11y.atspi.Accessible", "GetChildAtIndex")
        bus.answered_alive(reply, f"Accessible.GetChildAtIndex without its index on {ROOT}")
    except Died as died:
        print(f"FAIL: Pairwick {died}")
        return 1
    print(f"PASS: Pairwick is alive after {answered + refused + 2} calls")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
