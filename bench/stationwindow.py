#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Figures of pairwick-station, the station's window, on an X server (an Xvfb of its own on a
free display when DISPLAY is unset): the time from exec to the first frame of the window painted
on the screen, with and without --start; its resident memory and CPU with 16 slots at work
against simulated units paced at a 9600 8N1 line with a 20 ms reply delay, each swapped for the
next as soon as it passed, beside pairwick-cli station --quiet at the same time on 16 slots of
its own (on a busy machine, two command lines run one after the other differed by up to 3.5 %
of a core, side by side by 0.2 %); and both with 16 empty slots. Prints figures; judges
nothing.

Usage: bench/stationwindow.py WINDOW CLI SIMULATOR [ROUNDS]"""
import contextlib
import ctypes
import os
import shlex
import subprocess
import sys
import tempfile
import threading
import time

from provisioning import print_table, spread, start_simulators
from station import VALUES, cpu_seconds, station_environment

SLOTS = 16
POLL_S = 0.010
STALL_S = 60
WORK_S = 20
IDLE_S = 10
IDLE_SETTLE_S = 3
ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2
IS_VIEWABLE = 2
ANY_PROPERTY_TYPE = 0


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("window_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


class Image(ctypes.Structure):
    """The leading fields of an XImage, all that is read of one."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


def load_xlib():
    xlib = ctypes.CDLL("libX11.so.6")
    pointer, window = ctypes.c_void_p, ctypes.c_ulong
    xlib.XOpenDisplay.restype = pointer
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [pointer]
    xlib.XSetErrorHandler.restype = pointer
    xlib.XSetErrorHandler.argtypes = [ERROR_HANDLER]
    xlib.XDefaultRootWindow.restype = window
    xlib.XDefaultRootWindow.argtypes = [pointer]
    xlib.XDisplayWidth.argtypes = xlib.XDisplayHeight.argtypes = [pointer, ctypes.c_int]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [pointer, ctypes.c_char_p, ctypes.c_int]
    xlib.XQueryTree.argtypes = [pointer, window, ctypes.POINTER(window), ctypes.POINTER(window),
                                ctypes.POINTER(ctypes.POINTER(window)),
                                ctypes.POINTER(ctypes.c_uint)]
    xlib.XFree.argtypes = [pointer]
    xlib.XGetWindowProperty.argtypes = [
        pointer, window, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
        ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong))]
    xlib.XGetWindowAttributes.argtypes = [pointer, window, ctypes.POINTER(WindowAttributes)]
    xlib.XTranslateCoordinates.argtypes = [pointer, window, window, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_int),
                                           ctypes.POINTER(ctypes.c_int), ctypes.POINTER(window)]
    xlib.XGetImage.restype = ctypes.POINTER(Image)
    xlib.XGetImage.argtypes = [pointer, window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                               ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    xlib.XDestroyImage.argtypes = [ctypes.POINTER(Image)]
    return xlib


class Screen:
    """The screen of an X server as its user sees it, read through libX11 (no tool to spawn
    per look, so the screen can be looked at every few milliseconds)."""

    def __init__(self, display):
        self.xlib = load_xlib()
        self.display = self.xlib.XOpenDisplay(display.encode())
        if not self.display:
            sys.exit(f"cannot open the X display {display}")
        # A window may vanish between two requests; its error must not end the bench.
        self.ignore_errors = ERROR_HANDLER(lambda display, event: 0)
        self.xlib.XSetErrorHandler(self.ignore_errors)
        self.root = self.xlib.XDefaultRootWindow(self.display)
        self.width = self.xlib.XDisplayWidth(self.display, 0)
        self.height = self.xlib.XDisplayHeight(self.display, 0)
        self.pid_atom = self.xlib.XInternAtom(self.display, b"_NET_WM_PID", False)

    def close(self):
        self.xlib.XCloseDisplay(self.display)

    def rows(self, left, top, width, height):
        """The pixels of a rectangle of the screen, a bytes object a row, or None."""
        image = self.xlib.XGetImage(self.display, self.root, left, top, width, height,
                                    ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        try:
            fields = image.contents
            data = ctypes.string_at(fields.data, fields.bytes_per_line * fields.height)
            used = fields.width * fields.bits_per_pixel // 8
            return [data[y * fields.bytes_per_line:y * fields.bytes_per_line + used]
                    for y in range(fields.height)]
        finally:
            self.xlib.XDestroyImage(image)

    def windows(self, parent):
        root, above = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.xlib.XQueryTree(self.display, parent, ctypes.byref(root),
                                    ctypes.byref(above), ctypes.byref(children),
                                    ctypes.byref(count)):
            return []
        found = [children[i] for i in range(count.value)]
        if children:
            self.xlib.XFree(children)
        return found + [w for child in found for w in self.windows(child)]

    def pid_of(self, window):
        kind, size, items, left = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(),
                                   ctypes.c_ulong())
        value = ctypes.POINTER(ctypes.c_ulong)()
        if self.xlib.XGetWindowProperty(self.display, window, self.pid_atom, 0, 1, False,
                                        ANY_PROPERTY_TYPE, ctypes.byref(kind),
                                        ctypes.byref(size), ctypes.byref(items),
                                        ctypes.byref(left), ctypes.byref(value)) != 0:
            return None
        pid = value[0] if items.value and size.value == 32 else None
        if value:
            self.xlib.XFree(value)
        return pid

    def shown_rectangle(self, window):
        """Where a viewable window is on the screen, clipped to it: (left, top, width, height),
        or None."""
        attributes = WindowAttributes()
        if (not self.xlib.XGetWindowAttributes(self.display, window, ctypes.byref(attributes))
                or attributes.map_state != IS_VIEWABLE):
            return None
        left, top, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self.xlib.XTranslateCoordinates(self.display, window, self.root, 0, 0,
                                               ctypes.byref(left), ctypes.byref(top),
                                               ctypes.byref(child)):
            return None
        right = min(left.value + attributes.width, self.width)
        bottom = min(top.value + attributes.height, self.height)
        left, top = max(left.value, 0), max(top.value, 0)
        return (left, top, right - left, bottom - top) if right > left and bottom > top else None

    def main_window_of(self, pid):
        """The largest viewable window of a process on the screen and its shown_rectangle, or
        None."""
        shown = [(w, self.shown_rectangle(w)) for w in self.windows(self.root)
                 if self.pid_of(w) == pid]
        shown = [(w, rectangle) for w, rectangle in shown if rectangle]
        return max(shown, key=lambda s: s[1][2] * s[1][3]) if shown else None

    def window_of(self, pid):
        """Where the largest viewable window of a process is, as shown_rectangle, or None."""
        found = self.main_window_of(pid)
        return found and found[1]


def painted(before, rows, rectangle):
    """Whether a window's pixels are painted: nearly every row differs from what the screen held
    there before its program started (a mapped window that has not painted still shows that),
    and it is not a single colour (a mapped window whose server filled its background)."""
    left, top, width, _ = rectangle
    pixel = len(rows[0]) // width
    if rows.count(rows[0]) == len(rows) and rows[0] == rows[0][:pixel] * width:
        return False
    changed = sum(row != before[top + y][left * pixel:(left + width) * pixel]
                  for y, row in enumerate(rows))
    return changed >= 0.95 * len(rows)


@contextlib.contextmanager
def x_display(shared=True):
    """DISPLAY when it is set and may be shared, else an Xvfb of its own on the first free
    display."""
    if shared and os.environ.get("DISPLAY"):
        yield os.environ["DISPLAY"], f"the X display {os.environ['DISPLAY']}"
        return
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1920x1080x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as announced:
        number = announced.readline().strip()
    try:
        if not number:
            sys.exit("Xvfb did not start")
        yield f":{number}", "Xvfb 1920x1080x24"
    finally:
        server.terminate()
        server.wait()


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def station_command(program, folder, name, first_slot, extra=()):
    """A station of its own name, batch, ledger and spool on 16 slots from first_slot."""
    return [*program, *[f"COM{n}" for n in range(first_slot, first_slot + SLOTS)], "--batch", name,
            "--ledger", f"sqlite:{folder}/{name}.sqlite", "--station", name, *VALUES, *extra]


def display_environment(folder, display):
    return dict(station_environment(folder), DISPLAY=display, QT_QPA_PLATFORM="xcb")


def ended_early(process, errors_path):
    with open(errors_path) as errors:
        return f"{' '.join(process.args)} ended, exit status {process.returncode}:\n{errors.read()}"


def first_paint(screen, command, environment, folder):
    """Seconds from exec to the first look at the screen that finds the window painted; the
    looks are POLL_S apart, plus the time a look takes."""
    before = screen.rows(0, 0, screen.width, screen.height)
    errors_path = os.path.join(folder, "start-up.stderr")
    with open(errors_path, "w") as errors:
        started = time.monotonic()
        process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                                   stderr=errors)
    try:
        while time.monotonic() - started < STALL_S:
            if process.poll() is not None:
                sys.exit(ended_early(process, errors_path))
            rectangle = screen.window_of(process.pid)
            rows = rectangle and screen.rows(*rectangle)
            if rows and painted(before, rows, rectangle):
                return time.monotonic() - started
            time.sleep(POLL_S)
        sys.exit(f"no painted window of {command[0]} within {STALL_S} s")
    finally:
        stop(process)


def start_up(window, simulator, display, rounds, extra):
    with tempfile.TemporaryDirectory() as folder:
        sim = start_simulators(simulator, os.path.join(folder, "ports"), SLOTS,
                               ("--quiet", "--units", "--start-empty"))
        screen = Screen(display)
        try:
            command = station_command([window], folder, "start-up", 1, extra)
            environment = display_environment(folder, display)
            return [1000 * first_paint(screen, command, environment, folder)
                    for _ in range(rounds)]
        finally:
            screen.close()
            stop(sim)


def swap_passed(passed_lines, sim, passed):
    """The operator: each slot a station names as passed gets its next unit. An empty line ends
    it."""
    for line in passed_lines:
        slot = line.strip()
        if not slot:
            return
        sim.stdin.write(f"next {slot}\n")
        sim.stdin.flush()
        passed.append(slot)


def resident_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    return {key: int(fields[key].split()[0]) / 1024 for key in ("VmRSS", "VmHWM")}


def side_by_side(programs, simulator, display, seconds, units):
    """Station programs at the same time, each on 16 slots of one simulator, so that a load on
    the machine falls on all alike: with a unit in every slot that is swapped for the next once
    its station runs its --on-pass command for it (units), or with empty slots. Over `seconds`
    after their start-up (once every slot passed a unit, or IDLE_SETTLE_S when empty), per
    program: its CPU in % of a core, the units that passed in that time, and its resident
    memory at the end."""
    with tempfile.TemporaryDirectory() as folder:
        sim = start_simulators(simulator, os.path.join(folder, "ports"), SLOTS * len(programs),
                               ("--quiet", "--units") + (() if units else ("--start-empty",)),
                               stdin=subprocess.PIPE)
        fifo = os.path.join(folder, "passed")
        os.mkfifo(fifo)
        # Read and write, so that the FIFO never ends while on-pass commands open and close it.
        fifo_end = os.open(fifo, os.O_RDWR)
        passed_lines = os.fdopen(fifo_end)
        passed = []
        operator = threading.Thread(target=swap_passed, args=(passed_lines, sim, passed))
        operator.start()
        on_pass = ("--on-pass", f'echo "$PAIRWICK_SLOT" > {shlex.quote(fifo)}')
        stations = []
        for index, program in enumerate(programs):
            errors_path = os.path.join(folder, f"station-{index}.stderr")
            with open(errors_path, "w") as errors:
                stations.append((subprocess.Popen(
                    station_command(program, folder, f"station-{index}", 1 + index * SLOTS,
                                    on_pass),
                    env=display_environment(folder, display), stdout=subprocess.DEVNULL,
                    stderr=errors), errors_path))

        def passed_per_station():
            counts = [0] * len(programs)
            for slot in list(passed):
                counts[(int(slot[3:]) - 1) // SLOTS] += 1
            return counts
        try:
            settled = time.monotonic() + (STALL_S if units else IDLE_SETTLE_S)
            while time.monotonic() < settled and not (
                    units and min(passed_per_station()) >= SLOTS):
                for station, errors_path in stations:
                    if station.poll() is not None:
                        sys.exit(ended_early(station, errors_path))
                time.sleep(POLL_S)
            if units and min(passed_per_station()) < SLOTS:
                sys.exit(f"units passed in {STALL_S} s, per station: {passed_per_station()}")
            pids = [station.pid for station, _ in stations]
            cpu, started, before = ([cpu_seconds(pid) for pid in pids], time.monotonic(),
                                    passed_per_station())
            time.sleep(seconds)
            cpu = [cpu_seconds(pid) - used for pid, used in zip(pids, cpu)]
            wall = time.monotonic() - started
            return [(100 * used / wall, after - earlier, resident_mib(pid))
                    for used, after, earlier, pid in zip(cpu, passed_per_station(), before, pids)]
        finally:
            for station, _ in stations:
                stop(station)
            os.write(fifo_end, b"\n")
            operator.join()
            passed_lines.close()
            sim.stdin.close()
            stop(sim)


def cpu_rows(label, runs, names):
    rows = [(f"{label}: CPU, {name}", spread([run[i][0] for run in runs], "% of a core", 2))
            for i, name in enumerate(names)]
    rows.append((f"{label}: CPU of the window beyond the engine's",
                 spread([run[1][0] - run[0][0] for run in runs], "% of a core", 2)))
    return rows


def work_rows(window, cli, simulator, display, rounds):
    names = ("pairwick-cli station --quiet", "pairwick-station --start")
    programs = [[cli, "station", "--quiet"], [window, "--start"]]
    work = [side_by_side(programs, simulator, display, WORK_S, True) for _ in range(rounds)]
    idle = [side_by_side(programs, simulator, display, IDLE_S, False) for _ in range(rounds)]
    label = f"16 slots at work, {WORK_S} s"
    rows = [(f"{label}: units passed, {name}", spread([run[i][1] for run in work], "units", 0))
            for i, name in enumerate(names)]
    rows += cpu_rows(label, work, names)
    for key, meaning in (("VmRSS", "resident memory at the end"), ("VmHWM", "peak resident")):
        rows += [(f"{label}: {meaning} ({key}), {name}",
                  spread([run[i][2][key] for run in work], "MiB", 1))
                 for i, name in enumerate(names)]
    return rows + cpu_rows(f"16 empty slots, {IDLE_S} s", idle, names)


def main():
    window, cli, simulator = sys.argv[1], sys.argv[2], sys.argv[3]
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    start_ups = 4 * rounds
    with x_display() as (display, server):
        rows = [(f"exec to first painted window{suffix}",
                 spread(start_up(window, simulator, display, start_ups, extra), "ms", 0))
                for suffix, extra in (("", ()), (", --start", ("--start",)))]
        rows += work_rows(window, cli, simulator, display, rounds)
    print_table(f"pairwick-station on {server}, {start_ups} start-ups, {rounds} rounds of "
                "work; 16 slots against simulated units paced at 9600 8N1 with a 20 ms reply "
                "delay, each swapped once it passed; target: under 2 % of a core beyond the "
                "engine's own", rows)


if __name__ == "__main__":
    main()
