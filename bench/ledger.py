#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Figures of the ledger as it grows: a batch that one station began (so the schema and the batch
are the program's own) is filled through SQL to 0, 100,000 and 1,000,000 units (10,000,000 with
--huge), each passed, one in twenty after a failed attempt, on SQLite and on a private PostgreSQL
server. For each: one unit's time outside its exchanges at the station (mostly the ledger's), the
CPU of a station with its slot empty and of the server over 20 s, `ledger batches`, `ledger units
--csv` (time to its first 200 rows, the page the station window's ledger tab shows first, and
time and peak resident memory of the whole), `ledger check`, and pairwick-station's ledger tab
on an X server (an Xvfb of its own when DISPLAY is unset): the time from Ctrl+Tab to its first
rows on the screen and the window's resident memory then, and three searches typed there.
Prints figures; judges nothing.

Then the first opening of a ledger of the first schema at 1,000,000 units (10,000,000 with --huge),
which migrates it; --migration-only measures that alone.

Usage: bench/ledger.py CLI SIMULATOR WINDOW [--huge] [--migration-only]"""
import os
import subprocess
import sys
import tempfile
import time

from ledgerfill import (BATCH, fill_postgres, fill_postgres_schema_1, fill_sqlite,
                        fill_sqlite_schema_1, postgres_address, sqlite_address)
from ledgertab import ledger_tab
from privatepostgres import private_postgres
from processes import cpu_seconds, wakeups
from provisioning import start_simulators
from station import VALUES, run_stations, station_environment, unit_figures
from xscreen import x_display

IDLE_S = 20


def migration(cli, backend, ledger, fill, size):
    """The first opening of a schema-1 ledger of size units: `ledger batches`, which migrates it
    (its progress on standard error) and then lists its one batch."""
    started = time.monotonic()
    fill(size)
    print(f"{backend}: filled {size} units of schema 1 in {time.monotonic() - started:.0f} s",
          file=sys.stderr)
    seconds, _ = timed([cli, "ledger", "batches", "--ledger", ledger])
    again, _ = timed([cli, "ledger", "batches", "--ledger", ledger])
    return [backend, f"{size:,}", f"{seconds:.1f} s", f"{size / seconds:,.0f} units/s",
            f"{again:.2f} s"]


def next_number(cli, ledger):
    listing = subprocess.run([cli, "ledger", "batches", "--json", "--ledger", ledger], check=True,
                             stdout=subprocess.PIPE, text=True).stdout
    import json
    return next(b["next"] for b in json.loads(listing)["batches"] if b["batch"] == BATCH)


def timed(command):
    """Wall seconds and peak resident MiB of one run, its output thrown away. GNU time reports
    the peak: a child of this script would count the script's own, since the kernel keeps the
    high-water mark of what a process held before it exec'd."""
    with tempfile.NamedTemporaryFile("r") as report:
        started = time.monotonic()
        child = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name, *command],
                               stdout=subprocess.DEVNULL)
        seconds = time.monotonic() - started
        if child.returncode not in (0, 1):
            sys.exit(f"{' '.join(command)}: exit status {child.returncode}")
        # After "Command exited with non-zero status 1" when it did.
        return seconds, int(report.read().split()[-1]) / 1024


def first_rows(command, rows=200):
    """Seconds from exec to the first rows of a listing (its header line besides)."""
    started = time.monotonic()
    child = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
    for _ in range(rows + 1):
        child.stdout.readline()
    seconds = time.monotonic() - started
    child.kill()
    child.wait()
    return seconds


def server_cpu(data_folder):
    """CPU seconds of every process of the server whose data folder is given."""
    if not data_folder:
        return 0.0
    with open(os.path.join(data_folder, "postmaster.pid")) as pid_file:
        postmaster = int(pid_file.readline())
    total = cpu_seconds(postmaster)
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    if int(stat.read().rpartition(")")[2].split()[1]) == postmaster:
                        total += cpu_seconds(int(entry))
            except (OSError, ValueError):
                continue
    return total


def idle_cpu(cli, simulator, ledger, data_folder):
    """Percent of a core of a station with its one slot empty and its wake-ups a second, and
    the server's percent of a core, over IDLE_S."""
    with tempfile.TemporaryDirectory() as folder:
        sim = start_simulators(simulator, os.path.join(folder, "ports"), 1,
                               ("--quiet", "--units", "--start-empty"))
        station = subprocess.Popen(
            [cli, "station", "COM1", "--batch", BATCH, "--ledger", ledger, "--station", "idle",
             *VALUES, "--quiet"], env=station_environment(folder), stdout=subprocess.DEVNULL)
        try:
            time.sleep(2)
            own, woke = cpu_seconds(station.pid), wakeups(station.pid)
            server, started = server_cpu(data_folder), time.monotonic()
            time.sleep(IDLE_S)
            span = time.monotonic() - started
            return (100 * (cpu_seconds(station.pid) - own) / span,
                    (wakeups(station.pid) - woke) / span,
                    100 * (server_cpu(data_folder) - server) / span)
        finally:
            station.terminate()
            station.wait()
            sim.terminate()
            sim.wait()


def measure(cli, simulator, window, display, backend, ledger, fill, address_of, size,
            data_folder):
    run_stations(cli, simulator, ledger, BATCH, [("bench", 1)], 1)
    filled = next_number(cli, ledger)
    if size:
        started = time.monotonic()
        fill(filled, filled + size - 1)
        print(f"{backend}: filled {size} units in {time.monotonic() - started:.0f} s",
              file=sys.stderr)
    _, results, _, found = run_stations(cli, simulator, ledger, BATCH, [("bench", 1)], 5,
                                        first_unit=1000)
    outside = dict(unit_figures("x", results, found))["x: time outside exchanges"]
    station, woke, server = idle_cpu(cli, simulator, ledger, data_folder)
    batches, _ = timed([cli, "ledger", "batches", "--ledger", ledger])
    listing = [cli, "ledger", "units", "--csv", "--batch", BATCH, "--ledger", ledger]
    units, memory = timed(listing)
    first = first_rows(listing)
    check, _ = timed([cli, "ledger", "check", "--ledger", ledger])
    # A unit in the middle of the filled ones by its name, the next by its address without the
    # colons, and every unit whose number begins with 1.
    middle = filled + size // 2
    tab, resident, searches = ledger_tab(
        window, simulator, display, ledger, BATCH,
        [f"Year-{middle}", address_of(middle + 1).replace(":", ""), "year-1"])
    return [f"{backend}", f"{size:,}", outside, f"{station:.2f} %, {woke:.1f}/s",
            f"{server:.2f} %" if data_folder else "-", f"{batches:.2f} s",
            f"{first:.2f} s", f"{units:.1f} s, {memory:.0f} MiB", f"{check:.1f} s",
            f"{tab:.2f} s", f"{resident['VmRSS']:.0f} / {resident['VmHWM']:.0f} MiB",
            " / ".join(f"{seconds:.2f}" for seconds in searches) + " s"]


def migrations(cli, sizes):
    header = ["ledger", "units of schema 1", "first opening (the migration)", "units a second",
              "the next opening"]
    rows = []
    with private_postgres() as create_database, tempfile.TemporaryDirectory() as folder:
        for size in sizes:
            path = os.path.join(folder, f"schema1-{size}.sqlite")
            rows.append(migration(cli, "SQLite", f"sqlite:{path}",
                                  lambda units: fill_sqlite_schema_1(path, units), size))
            print(" | ".join(rows[-1]), file=sys.stderr)
            os.remove(path)
            url = create_database(f"schema1_{size}")
            rows.append(migration(cli, "PostgreSQL", url,
                                  lambda units: fill_postgres_schema_1(url, units), size))
            print(" | ".join(rows[-1]), file=sys.stderr)
    print("\nThe migration of a schema-1 ledger to this version's, on its first opening "
          "(`ledger batches`)\n")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(row) + " |")


def main():
    cli, simulator, window = sys.argv[1:4]
    huge = "--huge" in sys.argv[4:]
    migrated = [1_000_000] + ([10_000_000] if huge else [])
    if "--migration-only" in sys.argv[4:]:
        migrations(cli, migrated)
        return
    sizes = [0, 100_000, 1_000_000] + ([10_000_000] if huge else [])
    header = ["ledger", "units filled", "unit's time outside exchanges (min / median / max)",
              "idle station: CPU, wake-ups", "server CPU", "ledger batches", "first 200 units",
              "ledger units --csv", "ledger check", "window: Ctrl+Tab to the ledger's rows",
              "window: VmRSS / VmHWM", "window: search by name / address / \"year-1\""]
    rows = []
    with (private_postgres() as create_database, tempfile.TemporaryDirectory() as folder,
          x_display() as (display, server)):
        for size in sizes:
            path = os.path.join(folder, f"year{size}.sqlite")
            rows.append(measure(cli, simulator, window, display, "SQLite", f"sqlite:{path}",
                                lambda first, last: fill_sqlite(path, first, last),
                                sqlite_address, size, None))
            print(" | ".join(rows[-1]), file=sys.stderr)
            url = create_database(f"year{size}")
            data = os.path.join(url.split("?host=")[1], "data")
            rows.append(measure(cli, simulator, window, display, "PostgreSQL", url,
                                lambda first, last: fill_postgres(url, first, last),
                                postgres_address, size, data))
            print(" | ".join(rows[-1]), file=sys.stderr)
    print(f"\nThe ledger as it grows: one batch, each unit passed, one in twenty after a failed "
          f"attempt; 1 slot, idle figures over {IDLE_S} s; the window on {server}\n")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(row) + " |")
    migrations(cli, migrated)


if __name__ == "__main__":
    main()
