#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""pairwick's start-up beside the floors of a window program (bench/floorwindow.cpp), on an Xvfb
of its own: a bare Qt Widgets window of the same size, empty, and showing one line of Chinese as
pairwick's window does (the fonts it needs are a floor of their own), and pairwick's own form
built by Qt alone (the least any program showing those controls does). Each run times exec
to the X server's MapNotify of the program's window (no polling, so no look's length is
counted), then, a second later, reads its resident memory and counts the shared libraries it
maps. The programs take turns, after one start-up each that is not counted, so that a load on
the machine falls on all alike. Prints figures; judges nothing.

Usage: bench/windowstart.py PAIRWICK FLOOR_WINDOW [RUNS]   (default 7)"""
import ctypes
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

from processes import resident_mib, stop
from provisioning import print_table, spread
from xscreen import Screen, x_display

STALL_S = 30
SETTLE_S = 1.0
CHINESE_LINE = "蓝牙串口设置"
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
MAP_NOTIFY = 19


class MapEvent(ctypes.Structure):
    """An XMapEvent, padded to the size of any event XNextEvent writes."""
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int), ("padding", ctypes.c_long * 17)]


class MapWatch:
    """The windows mapped as children of the root window of a screen without a window manager,
    as the server reports them."""

    def __init__(self, screen):
        self.screen = screen
        xlib = screen.xlib
        xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        xlib.XPending.argtypes = xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(MapEvent)]
        xlib.XSelectInput(screen.display, screen.root, SUBSTRUCTURE_NOTIFY_MASK)
        xlib.XPending(screen.display)
        self.connection = xlib.XConnectionNumber(screen.display)

    def mapped(self, timeout):
        """The windows mapped by the time an event comes, waiting up to timeout seconds."""
        xlib, display = self.screen.xlib, self.screen.display
        if not xlib.XPending(display):
            select.select([self.connection], [], [], timeout)
        windows = []
        while xlib.XPending(display):
            event = MapEvent()
            xlib.XNextEvent(display, ctypes.byref(event))
            if event.type == MAP_NOTIFY and not event.override_redirect:
                windows.append(event.window)
        return windows

    def size_of(self, window):
        return self.screen.shown_rectangle(window)[2:]


def shared_libraries(pid):
    with open(f"/proc/{pid}/maps") as maps:
        return len({line.split()[-1] for line in maps if ".so" in line.rsplit("/", 1)[-1]})


def start_up(watch, command, environment):
    """Milliseconds from exec to the map of the program's window, its resident MiB and shared
    libraries a settling second later, and the window's size."""
    watch.mapped(0)
    started = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    try:
        while time.monotonic() - started < STALL_S:
            if process.poll() is not None:
                sys.exit(f"{' '.join(command)} ended, exit status {process.returncode}:\n"
                         f"{process.stderr.read().decode(errors='replace')}")
            ours = [w for w in watch.mapped(0.5) if watch.screen.pid_of(w) == process.pid]
            if ours:
                mapped_ms = 1000 * (time.monotonic() - started)
                time.sleep(SETTLE_S)
                return (mapped_ms, resident_mib(process.pid)["VmRSS"],
                        shared_libraries(process.pid), watch.size_of(ours[0]))
        sys.exit(f"no window of {command[0]} mapped within {STALL_S} s")
    finally:
        stop(process)


def main():
    pairwick, floor = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    with tempfile.TemporaryDirectory() as folder, x_display(shared=False) as (display, server):
        os.mkdir(os.path.join(folder, "ports"))
        environment = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
                           PAIRWICK_PORTS=os.path.join(folder, "ports"),
                           XDG_CONFIG_HOME=os.path.join(folder, "config"),
                           XDG_DATA_HOME=os.path.join(folder, "data"),
                           XDG_STATE_HOME=os.path.join(folder, "state"))
        screen = Screen(display)
        try:
            watch = MapWatch(screen)
            size = [str(n) for n in start_up(watch, [pairwick], environment)[3]]
            commands = {"pairwick": [pairwick], "empty window": [floor, *size],
                        "window with a line of Chinese": [floor, *size, CHINESE_LINE],
                        "pairwick's form, Qt alone": [floor, "--form"]}
            figures = {name: [] for name in commands}
            for name, command in list(commands.items())[1:]:
                start_up(watch, command, environment)
            for _ in range(runs):
                for name, command in commands.items():
                    figures[name].append(start_up(watch, command, environment))
        finally:
            screen.close()
    rows = []
    for name, runs_of in figures.items():
        for index, meaning, unit, digits in (
                (0, "exec to first mapped window", "ms", 1),
                (1, f"resident memory {SETTLE_S:.0f} s later", "MiB", 1),
                (2, "shared libraries mapped", "libraries", 0)):
            rows.append((f"{name}: {meaning}", spread([r[index] for r in runs_of], unit, digits)))
    print_table(f"pairwick beside floors built by Qt alone (bare windows of its size, "
                f"{'x'.join(size)}, and its own form) on {server}, "
                f"{runs} interleaved start-ups each; target: within 1.05x of the floor's "
                "start-up and 3 MiB of its memory", rows)
    medians = {name: (statistics.median(r[0] for r in runs_of),
                      statistics.median(r[1] for r in runs_of))
               for name, runs_of in figures.items()}
    for floor_name in list(medians)[1:]:
        ms, mib = medians[floor_name]
        print("pairwick: {:.1f} ms, {:.1f} MiB; floor ({}): {:.1f} ms, {:.1f} MiB; "
              "ratio {:.3f}, {:+.1f} MiB".format(*medians["pairwick"], floor_name, ms, mib,
                                                 medians["pairwick"][0] / ms,
                                                 medians["pairwick"][1] - mib))

if __name__ == "__main__":
    main()
