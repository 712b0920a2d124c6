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
import os
import shlex
import subprocess
import sys
import tempfile
import threading
import time

from processes import cpu_seconds, resident_mib, stop
from provisioning import print_table, spread, start_simulators
from station import VALUES, station_environment
from xscreen import Screen, painted, x_display

SLOTS = 16
POLL_S = 0.010
STALL_S = 60
WORK_S = 20
IDLE_S = 10
IDLE_SETTLE_S = 3

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
