#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a far ledger server costs a station: one station, one slot, fast simulated units (no line
pacing), the ledger on a private PostgreSQL server reached through a TCP proxy of this script's
own that holds every chunk of bytes for half the round trip in each direction. For each round
trip: one unit's time (the station's own, from the probe that found the unit to its record),
the ledger's cost a unit (the unit time less that at 0 ms) in milliseconds and in round trips,
and the statements a unit that the server logged (log_statement = all) between the first result
and the last. Then 8 stations of 16 slots each, on one batch of a server that takes at most 40
connections (max_connections = 40): what bench/station.py tells of stations sharing a batch
(units in, recorded, numbers twice, results held as reported), the most connections the
stations held at once (pg_stat_activity, read every 0.2 s) and the connections the server
refused (its log). Prints figures; judges nothing.

Usage: bench/ledgerserver.py CLI SIMULATOR [ROUNDS]"""
import asyncio
import datetime
import json
import os
import queue
import re
import statistics
import subprocess
import sys
import tempfile
import threading

from privatepostgres import POSTGRES_BINARIES, private_postgres
from provisioning import print_table, spread
from station import STALL_S, VALUES, read_lines, shared_batch, station_environment

ROUND_TRIPS_MS = (0, 10, 20)
SHARED_STATIONS, SHARED_SLOTS, SHARED_CONNECTIONS = 8, 16, 40
STATION = "ledgerbench"
LOGGED = re.compile(r"^(\S+ \S+) UTC \[pairwick-" + STATION + r"\] LOG:  (?:statement|execute)")


class DelayingProxy:
    """Listens on a free port of 127.0.0.1 and passes each connection on to the server's Unix
    socket, every chunk held back by half the round trip and delivered in order."""

    def __init__(self, socket_path):
        self.socket_path = socket_path
        self.one_way_s = 0.0
        self.loop = asyncio.new_event_loop()
        threading.Thread(target=self.loop.run_forever, daemon=True).start()
        server = asyncio.run_coroutine_threadsafe(
            asyncio.start_server(self.connect, "127.0.0.1", 0), self.loop).result()
        self.port = server.sockets[0].getsockname()[1]

    async def connect(self, client_reader, client_writer):
        try:
            server_reader, server_writer = await asyncio.open_unix_connection(self.socket_path)
        except OSError:
            client_writer.close()
            return
        await asyncio.gather(self.carry(client_reader, server_writer),
                             self.carry(server_reader, client_writer))

    async def carry(self, reader, writer):
        chunks = asyncio.Queue()

        async def deliver():
            while True:
                due, data = await chunks.get()
                await asyncio.sleep(max(0.0, due - self.loop.time()))
                if not data:
                    break
                writer.write(data)
                await writer.drain()

        delivery = asyncio.ensure_future(deliver())
        try:
            while True:
                data = await reader.read(65536)
                await chunks.put((self.loop.time() + self.one_way_s, data))
                if not data:
                    break
            await delivery
        except (ConnectionError, OSError):
            delivery.cancel()
        finally:
            writer.close()


def run_units(cli, simulator, ledger, count):
    """One station on one slot until count units are through: each unit's seconds and the wall
    time at which its result came."""
    with tempfile.TemporaryDirectory() as folder:
        sim = subprocess.Popen(
            [simulator, "--port", "COM1", "--adapters", "1", "--ports-dir",
             os.path.join(folder, "ports"), "--units", "--unit-settle", "50", "--quiet"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        while not sim.stdout.readline().startswith("ready "):
            if sim.poll() is not None:
                sys.exit("the simulator did not start")
        station = subprocess.Popen(
            [cli, "station", "COM1", "--batch", "far", "--ledger", ledger, "--station", STATION,
             *VALUES, "--json", "--quiet"],
            env=station_environment(folder), stdout=subprocess.PIPE, text=True)
        events = queue.Queue()
        threading.Thread(target=read_lines, args=(station.stdout, STATION, events),
                         daemon=True).start()
        units = []
        try:
            while len(units) < count:
                try:
                    _, _, line = events.get(timeout=STALL_S)
                except queue.Empty:
                    sys.exit(f"no unit for {STALL_S} s")
                if line is None:
                    sys.exit(f"the station ended early, exit status {station.wait()}")
                event = json.loads(line)
                if event["event"] == "unit":
                    units.append((event["seconds"], datetime.datetime.utcnow()))
                    sim.stdin.write("next COM1\n")
                    sim.stdin.flush()
        finally:
            station.terminate()
            station.wait()
            sim.stdin.close()
            sim.terminate()
            sim.wait()
        return units


def statements_between(log_path, first, last):
    count = 0
    with open(log_path, encoding="utf-8", errors="replace") as log:
        for line in log:
            match = LOGGED.match(line)
            if match and first < datetime.datetime.fromisoformat(match[1]) <= last:
                count += 1
    return count


def connections_held(folder, stop, most):
    """The stations' connections to the server, read until stop is set; the most in most[0]."""
    prefix = ["runuser", "-u", "postgres", "--"] if os.geteuid() == 0 else []
    query = "SELECT count(*) FROM pg_stat_activity WHERE application_name LIKE 'pairwick-%'"
    while not stop.wait(0.2):
        counted = subprocess.run(prefix + [POSTGRES_BINARIES + "psql", "-h", folder, "-U",
                                           "postgres", "-d", "postgres", "-At", "-c", query],
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if counted.returncode == 0:
            most[0] = max(most[0], int(counted.stdout))


def many_stations(cli, simulator):
    with private_postgres(f"max_connections={SHARED_CONNECTIONS}") as create:
        stop, most = threading.Event(), [0]
        watcher = threading.Thread(target=connections_held, args=(create.folder, stop, most))
        watcher.start()
        try:
            rows = shared_batch(cli, simulator, create("shared"), SHARED_STATIONS, SHARED_SLOTS, 2)
        finally:
            stop.set()
            watcher.join()
        with open(os.path.join(create.folder, "server.log"), errors="replace") as log:
            refused = sum("too many clients" in line for line in log)
    label = f"{SHARED_STATIONS} stations x {SHARED_SLOTS} slots"
    return rows + [(f"{label}: most connections at once / refused", f"{most[0]} / {refused}")]


def main():
    cli, simulator = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    count = 1 + 4 * rounds
    rows = []
    with private_postgres("log_statement=all", "log_line_prefix='%m [%a] '") as create:
        proxy = DelayingProxy(os.path.join(create.folder, ".s.PGSQL.5432"))
        base = None
        for round_trip_ms in ROUND_TRIPS_MS:
            proxy.one_way_s = round_trip_ms / 2000
            create(f"far{round_trip_ms}")
            ledger = f"postgresql://postgres@127.0.0.1:{proxy.port}/far{round_trip_ms}"
            units = run_units(cli, simulator, ledger, count)
            # The first unit also pays for the station's start.
            seconds = [s for s, _ in units[1:]]
            median = statistics.median(seconds)
            base = median if base is None else base
            label = f"{round_trip_ms} ms round trip"
            rows.append((f"{label}: unit time", spread(seconds, "s")))
            if round_trip_ms:
                cost_ms = 1000 * (median - base)
                rows.append((f"{label}: the ledger's cost a unit",
                             f"{cost_ms:+.0f} ms = {cost_ms / round_trip_ms:.1f} round trips"))
            logged = statements_between(os.path.join(create.folder, "server.log"), units[0][1],
                                        units[-1][1])
            rows.append((f"{label}: statements a unit (server log)",
                         f"{logged / (len(units) - 1):.1f}"))
    print_table(f"pairwick-cli station, 1 slot, {count} fast simulated units a row, the ledger on "
                "a private PostgreSQL server behind a proxy that delays every chunk; the cost "
                "is against the median at 0 ms", rows)
    print_table(f"{SHARED_STATIONS} pairwick-cli stations of {SHARED_SLOTS} slots on one batch, "
                "2 paced simulated units a slot, the ledger on a private PostgreSQL server of "
                f"max_connections = {SHARED_CONNECTIONS}", many_stations(cli, simulator))


if __name__ == "__main__":
    main()
