#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Answers orca-hears.sh's questions about a program's objects on the accessibility bus.

Usage: atspi-probe.py active PID             exit 0 once a window of PID is the active one
       atspi-probe.py centre PID ROLE NAME   print "X Y PATH": the screen centre and bus path
                                             of the showing object with that role (as AT-SPI
                                             names it, e.g. "push button") and accessible name
       atspi-probe.py focused PID            print "PATH | ROLE | NAME" of each object that
                                             has the focus ("; " between them), or "none"
Exit: 0 found, 1 not (yet), 2 a usage or library error.
"""
import sys

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi
except (ImportError, ValueError) as error:
    print(f"atspi-probe: no AT-SPI library for Python ({error})", file=sys.stderr)
    sys.exit(2)

LIMIT = 5000  # objects; the windows tested have a few hundred


def application(pid):
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        candidate = desktop.get_child_at_index(index)
        try:
            if candidate is not None and candidate.get_process_id() == pid:
                return candidate
        except gi.repository.GLib.Error:
            continue
    return None


def objects(root):
    pending = [root]
    seen = 0
    while pending and seen < LIMIT:
        node = pending.pop(0)
        seen += 1
        yield node
        try:
            pending.extend(node.get_child_at_index(i) for i in range(node.get_child_count()))
        except gi.repository.GLib.Error:
            continue


def has(node, state):
    return node.get_state_set().contains(state)


def active(app):
    for index in range(app.get_child_count()):
        window = app.get_child_at_index(index)
        if window is not None and has(window, Atspi.StateType.ACTIVE):
            return 0
    return 1


def centre(app, role, name):
    for node in objects(app):
        try:
            if (node.get_role_name() == role and node.get_name() == name
                    and has(node, Atspi.StateType.SHOWING)):
                box = node.get_extents(Atspi.CoordType.SCREEN)
                if box.width > 0 and box.height > 0:
                    print(box.x + box.width // 2, box.y + box.height // 2, node.path)
                    return 0
        except gi.repository.GLib.Error:
            continue
    return 1


def focused(app):
    found = []
    for node in objects(app):
        try:
            if has(node, Atspi.StateType.FOCUSED):
                found.append(f"{node.path} | {node.get_role_name()} | {node.get_name()}")
        except gi.repository.GLib.Error:
            continue
    print("; ".join(found) or "none")
    return 0


def main(arguments):
    if len(arguments) < 2 or not arguments[1].isdigit():
        print(__doc__, file=sys.stderr)
        return 2
    command, pid = arguments[0], int(arguments[1])
    if command == "active" and len(arguments) == 2:
        app = application(pid)
        return active(app) if app else 1
    if command == "focused" and len(arguments) == 2:
        app = application(pid)
        return focused(app) if app else 1
    if command == "centre" and len(arguments) == 4:
        app = application(pid)
        return centre(app, arguments[2], arguments[3]) if app else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
