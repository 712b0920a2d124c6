#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Figures of pairwick-cli station against simulated units paced at a 9600 8N1 line with a 20 ms
reply delay, with a simulated operator who takes each unit out and puts the next one in as soon
as its result is printed: the arrival of a unit to the station's first byte to it, one unit's
time beside its wire floor, the time outside the exchanges (mostly the ledger's) on SQLite and
on a private PostgreSQL server, units an hour with 16 slots, CPU with 16 slots whose units were
taken out, four stations sharing one batch, a unit's time with a ZPL label sent to a raw printer
beside its time without, and a thousand labels queued by an outage drained in order. Units are taken out as udev does it: the by-path
link that a slot's link leads to goes, and its folders once empty. Prints figures; judges
nothing.

Usage: bench/station.py CLI SIMULATOR [ROUNDS]"""
import json
import os
import queue
import re
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from collections import Counter

from labelprinting import RawPrinter, drain_after_outage
from privatepostgres import private_postgres
from processes import cpu_seconds, wakeups
from provisioning import print_table, spread, start_simulators
from wirelog import floor_of, on_the_wire, read_exchanges, time_of_day, visits

VALUES = ["--set", "name=Sensor-{seq:4}", "--set", "pin={random:6}"]
STALL_S = 60
UNIT_IN = re.compile(r"^(\S+) (?:(COM\d+) )?unit in \d+ (\S+)$")
UDEV = ("--unplug", "udev")


def read_lines(stream, source, events):
    for line in stream:
        events.put((time.monotonic(), source, line))
    events.put((time.monotonic(), source, None))


def start_station(cli, name, slots, ledger, batch, folder, events, extra=()):
    log = os.path.join(folder, f"{name}.wire.log")
    with open(os.path.join(folder, f"{name}.stderr"), "w") as errors:
        station = subprocess.Popen(
            [cli, "station", *slots, "--batch", batch, "--ledger", ledger, "--station", name,
             *VALUES, "--json", "--quiet", "--log", log, *extra],
            env=station_environment(folder), stdout=subprocess.PIPE, stderr=errors, text=True)
    threading.Thread(target=read_lines, args=(station.stdout, name, events), daemon=True).start()
    return station, log


def station_environment(folder):
    environment = dict(os.environ, PAIRWICK_PORTS=os.path.join(folder, "ports"),
                       XDG_DATA_HOME=os.path.join(folder, "data"),
                       XDG_STATE_HOME=os.path.join(folder, "state"))
    environment.pop("PAIRWICK_LEDGER", None)
    return environment


def operate(sim, events, slot_count, per_slot, why_ended):
    """The operator: puts a unit in every slot its station waits on, and after each result takes
    it out for the next, until per_slot units went through each slot. Returns the time of the
    last result, the results, how many units went in, and each unit's port and arrival."""
    given, results, arrivals, last = Counter(), [], {}, None

    def put(command, slot):
        sim.stdin.write(f"{command} {slot}\n")
        sim.stdin.flush()
        given[slot] += command != "out"

    while len(results) < slot_count * per_slot:
        try:
            at, source, line = events.get(timeout=STALL_S)
        except queue.Empty:
            sys.exit(f"no station output for {STALL_S} s")
        if line is None:
            if source:
                sys.exit(f"station {source} ended early, {why_ended(source)}")
        elif not source:
            match = UNIT_IN.match(line.rstrip("\n"))
            if match:
                arrivals[match[3]] = (match[2] or "COM1", time_of_day(match[1]))
        else:
            event = json.loads(line)
            if event["event"] not in ("slot", "unit"):
                continue  # a label's, which no operator acts on
            slot = event["slot"]
            if event["event"] == "slot" and event["state"] == "waiting" and not given[slot]:
                put("in", slot)
            elif event["event"] == "unit":
                results.append(event)
                last = at
                put("next" if given[slot] < per_slot else "out", slot)
    return last, results, sum(given.values()), arrivals


def run_stations(cli, simulator, ledger, batch, stations, per_slot, first_unit=1, extra=()):
    """Each station (name, slot count) on its own slots of one simulator, its slots empty until
    the operator fills them, its units' serials from first_unit. Returns the wall time from the
    first start to the last result, the results, how many units went in, and the arrival and
    session of each unit."""
    slot_count = sum(count for _, count in stations)
    with tempfile.TemporaryDirectory() as folder:
        sim = start_simulators(simulator, os.path.join(folder, "ports"), slot_count,
                               ("--units", "--start-empty", "--first-unit", str(first_unit),
                                *UDEV),
                               stdin=subprocess.PIPE)
        events = queue.Queue()
        threading.Thread(target=read_lines, args=(sim.stdout, "", events), daemon=True).start()
        processes, logs, first = {}, [], 1
        try:
            started = time.monotonic()
            for name, count in stations:
                slots = [f"COM{n}" for n in range(first, first + count)]
                first += count
                processes[name], log = start_station(cli, name, slots, ledger, batch, folder,
                                                     events, extra)
                logs.append(log)

            def why_ended(name):
                with open(os.path.join(folder, f"{name}.stderr")) as errors:
                    return f"exit status {processes[name].wait()}:\n{errors.read()}"
            last, results, given, arrivals = operate(sim, events, slot_count, per_slot, why_ended)
        finally:
            for process in processes.values():
                process.terminate()
            for process in processes.values():
                process.wait()
            sim.stdin.close()
            sim.terminate()
            sim.wait()
        ports = {}
        for log in logs:
            read_exchanges(log, ports)
        return last - started, results, given, visits(arrivals, ports)


def unit_figures(label, results, found):
    """Arrival to first byte, unit time beside its floor, time outside the exchanges. The unit
    time is the station's own, from the reply to the probe that found the unit to its record;
    less the time from each command's first byte to its reply's last byte, it leaves the
    ledger's reservation and record, the spool's synced write and the turnarounds."""
    arrival, ratio, seconds, outside = [], [], [], []
    for result in results:
        if result["result"] != "passed" or result["address"] not in found:
            continue
        latency, session = found[result["address"]]
        arrival.append(1000 * latency)
        seconds.append(result["seconds"])
        ratio.append(result["seconds"] / floor_of(session))
        outside.append(1000 * (result["seconds"] - on_the_wire(session)))
    floors = [floor_of(session) for _, session in found.values()]
    return [(f"{label}: arrival to first byte", spread(arrival, "ms", 0)),
            (f"{label}: unit time", spread(seconds, "s")),
            (f"{label}: wire floor", spread(floors, "s")),
            (f"{label}: unit time / floor", spread(ratio, "x", 2)),
            (f"{label}: time outside exchanges", spread(outside, "ms", 1))]


def units_per_hour(label, wall, results):
    passed = sum(r["result"] == "passed" for r in results)
    return [(f"{label}: units passed / other", f"{passed} / {len(results) - passed}"),
            (f"{label}: units an hour", f"{3600 * passed / wall:.0f}")]


def labelled_units(cli, simulator, folder):
    """16 slots on SQLite without labels and with a ZPL label a unit sent to a raw printer, one
    after the other: the label is made and sent on the station's printing thread."""
    printer = RawPrinter()
    rows, medians = [], {}
    for label, extra in (("without labels", ()), ("ZPL label to tcp:", printer.options())):
        _, results, _, found = run_stations(cli, simulator, f"sqlite:{folder}/{len(rows)}.sqlite",
                                            "labels", [("bench", 16)], 4, extra=extra)
        figures = unit_figures(f"16 slots, SQLite, {label}", results, found)
        rows.append(figures[1])
        medians[label] = statistics.median(
            r["seconds"] for r in results if r["result"] == "passed")
    printer.close()
    rows.append(("16 slots, SQLite: median unit time with a label less without",
                 f"{1000 * (medians['ZPL label to tcp:'] - medians['without labels']):.1f} ms"))
    rows.append(("16 slots, SQLite, ZPL label to tcp:: labels printed",
                 f"{len(printer.labels)} of 64"))
    return rows


def idle_cpu(cli, simulator, slots, seconds, unplug):
    """CPU and wake-ups a second of a station whose units were provisioned and taken out (unplug
    is the simulator's --unplug), its ledger beside the port map's links, over a span after the
    last slot was emptied."""
    with tempfile.TemporaryDirectory() as folder:
        ports = os.path.join(folder, "ports")
        sim = start_simulators(simulator, ports, slots,
                               ("--quiet", "--units", "--unplug", unplug), stdin=subprocess.PIPE)
        station = subprocess.Popen(
            [cli, "station", *[f"COM{n}" for n in range(1, slots + 1)], "--batch", "idle",
             "--ledger", f"sqlite:{ports}/idle.sqlite", "--station", "idle", *VALUES, "--json",
             "--quiet"],
            env=station_environment(folder), stdout=subprocess.PIPE, text=True)
        try:
            emptied = 0
            while emptied < slots:
                line = station.stdout.readline()
                if not line:
                    sys.exit(f"the idle station ended early, exit status {station.wait()}")
                event = json.loads(line)
                if event["event"] == "unit":
                    sim.stdin.write(f"out {event['slot']}\n")
                    sim.stdin.flush()
                    emptied += 1
            threading.Thread(target=station.stdout.read, daemon=True).start()
            time.sleep(1)
            cpu, woke, started = cpu_seconds(station.pid), wakeups(station.pid), time.monotonic()
            time.sleep(seconds)
            span = time.monotonic() - started
            return (100 * (cpu_seconds(station.pid) - cpu) / span,
                    (wakeups(station.pid) - woke) / span)
        finally:
            station.terminate()
            station.wait()
            sim.stdin.close()
            sim.terminate()
            sim.wait()


def ledger_units(cli, ledger, batch):
    listing = subprocess.run([cli, "ledger", "units", "--ledger", ledger, "--batch", batch,
                              "--json"], check=True, stdout=subprocess.PIPE, text=True)
    return [json.loads(line) for line in listing.stdout.splitlines()]


def shared_batch(cli, simulator, ledger, stations, slots, per_slot):
    """Stations sharing one batch: units in, units recorded passed, numbers and addresses that
    the ledger holds more than once, units in that it holds no passed record of, and results
    that it holds with the number and state the station reported."""
    _, results, given, _ = run_stations(cli, simulator, ledger, "shared",
                                        [(f"station-{n}", slots) for n in range(1, stations + 1)],
                                        per_slot)
    units = ledger_units(cli, ledger, "shared")
    passed = {u["address"] for u in units if u["state"] == "passed"}
    seqs = Counter(u["seq"] for u in units)
    addresses = Counter(u["address"] for u in units)
    held = {(u["address"], u["seq"], u["state"]) for u in units}
    as_reported = sum((r["address"], r["seq"], r["result"]) in held for r in results)
    label = f"{stations} stations x {slots} slots, one batch"
    return [(f"{label}: units in / results / in ledger", f"{given} / {len(results)} / {len(units)}"),
            (f"{label}: duplicate numbers / addresses",
             f"{sum(n - 1 for n in seqs.values())} / {sum(n - 1 for n in addresses.values())}"),
            (f"{label}: lost (in, no passed record)", str(given - len(passed))),
            (f"{label}: results the ledger holds as reported (number and state)",
             str(as_reported))]


def main():
    cli, simulator = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    one_slot_units = 4 * rounds
    rows = []
    with private_postgres() as create_database:
        with tempfile.TemporaryDirectory() as folder:
            for backend, ledger in (("SQLite", f"sqlite:{folder}/single.sqlite"),
                                    ("PostgreSQL", create_database("single"))):
                _, results, _, found = run_stations(cli, simulator, ledger, "single",
                                                    [("bench", 1)], one_slot_units)
                rows += unit_figures(f"1 slot, {backend}", results, found)
            for backend, ledger in (("SQLite", f"sqlite:{folder}/many.sqlite"),
                                    ("PostgreSQL", create_database("many"))):
                wall, results, _, found = run_stations(cli, simulator, ledger, "many",
                                                       [("bench", 16)], 4)
                rows += units_per_hour(f"16 slots, {backend}", wall, results)
                rows += unit_figures(f"16 slots, {backend}", results, found)
            rows += labelled_units(cli, simulator, folder)
            rows += drain_after_outage(cli, folder, 1000, 0.005)
        rows += shared_batch(cli, simulator, create_database("shared"), 4, 4, 4)
    for unplug, how in (("udev", "by-path links gone"), ("dangle", "links re-pointed at nothing")):
        # Long enough that one clock tick of CPU is 0.03 % of a core, not 0.1 %.
        cpu, woke = idle_cpu(cli, simulator, 16, 30, unplug)
        rows.append((f"16 slots emptied ({how}), ledger beside the links, 30 s: CPU / wake-ups",
                     f"{cpu:.2f} % of a core / {woke:.1f} a second"))

    print_table(f"pairwick-cli station, {one_slot_units} units on 1 slot, 64 on 16 slots; "
                "simulated units paced at 9600 8N1 with a 20 ms reply delay, the operator's swap "
                "300 ms", rows)


if __name__ == "__main__":
    main()
