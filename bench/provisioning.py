#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Provisioning figures of pairwick-cli against simulated adapters whose output is paced at the
byte time of a real 9600 8N1 line, with a 20 ms reply delay: a read of one adapter, and a
write+verify of 1, 4 and 16 adapters at once, and a read and a write+verify of 64, each beside
its wire floor (the bytes on the line at 960 bytes/s plus one reply delay per exchange); and a
pair of two fresh adapters beside a write of the master's own values (role, bind, PIN) to one
fresh adapter, which is what pairing costs at best. Prints figures; judges nothing.

Usage: bench/provisioning.py CLI SIMULATOR [ROUNDS]"""
import contextlib
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

LINE_BYTES_PER_SECOND = 960.0
REPLY_DELAY_S = 0.020
ESCAPE = re.compile(r"\\x[0-9A-F]{2}|\\.")


def logged_bytes(escaped):
    return len(ESCAPE.sub("_", escaped))


def print_table(title, rows):
    """A title and one aligned line a figure: (name, value) pairs."""
    width = max(len(name) for name, _ in rows) + 2
    print(f"\n{title}\n")
    print(f"{'figure':{width}} value (min / median / max)")
    for name, value in rows:
        print(f"{name:{width}} {value}")


def wire_floor(log_path):
    """The slowest port's floor: its bytes both ways at line rate, plus a reply delay a line."""
    per_port = {}
    with open(log_path, encoding="utf-8", errors="replace") as log:
        for line in log:
            parts = line.rstrip("\n").split(" ", 3)
            if len(parts) < 4 or parts[2] not in ("->", "<-"):
                continue
            nbytes, exchanges = per_port.get(parts[1], (0, 0))
            per_port[parts[1]] = (nbytes + logged_bytes(parts[3]),
                                  exchanges + (parts[2] == "->"))
    return max(nbytes / LINE_BYTES_PER_SECOND + exchanges * REPLY_DELAY_S
               for nbytes, exchanges in per_port.values())


def start_simulators(simulator, folder, count, options=("--quiet",), stdin=None):
    process = subprocess.Popen(
        [simulator, "--port", "COM1", "--adapters", str(count), "--ports-dir", folder,
         "--line-rate", "9600", "--reply-delay", "20", *options],
        stdin=stdin, stdout=subprocess.PIPE, text=True)
    ready = 0
    while ready < count:
        line = process.stdout.readline()
        if not line:
            sys.exit("the simulator did not start")
        ready += line.startswith("ready ")
    return process


@contextlib.contextmanager
def simulated_ports(simulator, count):
    """The port-map folder of count paced adapters, for the length of the block."""
    with tempfile.TemporaryDirectory() as folder:
        sims = start_simulators(simulator, folder, count)
        try:
            yield folder
        finally:
            sims.terminate()
            sims.wait()


def run_cli(cli, folder, arguments):
    """Wall, CPU and peak resident memory of one pairwick-cli call, and its wire floor. GNU time
    reports the peak: a child of this script would count the script's own, since the kernel keeps
    the high-water mark of what a process held before it exec'd. The CPU is GNU time's with the
    call's, about 2 ms more than the call's own."""
    with tempfile.NamedTemporaryFile(suffix=".log") as log, \
            tempfile.NamedTemporaryFile("r") as report:
        environment = dict(os.environ, PAIRWICK_PORTS=folder)
        started = time.monotonic()
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report.name, cli]
                                 + arguments + ["--quiet", "--log", log.name],
                                 env=environment, stdout=subprocess.PIPE, text=True)
        output = child.stdout.read()
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.monotonic() - started
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"pairwick-cli {' '.join(arguments)} failed:\n{output}")
        return {"wall": wall, "cpu": usage.ru_utime + usage.ru_stime,
                "rss": int(report.read()), "floor": wire_floor(log.name)}


def run_idle(cli):
    """CPU milliseconds of a call that opens no port: the program's own start-up and exit."""
    child = subprocess.Popen([cli, "read", "/nonexistent/tty", "--quiet"],
                             stdout=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    return 1000 * (usage.ru_utime + usage.ru_stime)


def pair_beside_write(cli, simulator, rounds):
    """Walls of a pair of two fresh adapters and of a write of what the pair gives the master
    (role, the slave's address as bind, PIN) to one fresh adapter, a round of each in turn, each
    on simulators started for it: a second round on the same adapters would find them written."""
    pair = ["pair", "COM1", "COM2", "--pin", "482193"]
    # The simulator gives its second adapter this address.
    write = ["write", "COM1", "--set", "role=master", "--set", "bind=0A51:00:000002", "--set",
             "pin=482193"]
    walls = {"pair": [], "write": []}
    for _ in range(rounds):
        for name, adapters, arguments in (("pair", 2, pair), ("write", 1, write)):
            with simulated_ports(simulator, adapters) as folder:
                walls[name].append(run_cli(cli, folder, arguments)["wall"])
    return [("pair, 2 fresh adapters: wall time", spread(walls["pair"], "s")),
            ("write role, bind, PIN, 1 fresh adapter: wall time", spread(walls["write"], "s")),
            ("pair / write of the master's values, wall time",
             spread([p / w for p, w in zip(walls["pair"], walls["write"])], "x", 2))]


def spread(values, unit, digits=3):
    values = sorted(values)
    return (f"{values[0]:.{digits}f} / {statistics.median(values):.{digits}f} / "
            f"{values[-1]:.{digits}f} {unit}")


def main():
    cli, simulator = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    rows = []
    walls = {}
    for label, adapters, command in (("read, 1 adapter", 1, "read"),
                                     ("write+verify, 1 adapter", 1, "write"),
                                     ("write+verify, 4 adapters", 4, "write"),
                                     ("write+verify, 16 adapters", 16, "write"),
                                     ("read, 64 adapters", 64, "read"),
                                     ("write+verify, 64 adapters", 64, "write")):
        with simulated_ports(simulator, adapters) as folder:
            ports = [f"COM{n}" for n in range(1, adapters + 1)]
            runs = []
            for round_number in range(rounds):
                extra = ["--set", f"name=Bench-{round_number}", "--set",
                         f"pin={1000 + round_number}"] if command == "write" else []
                runs.append(run_cli(cli, folder, [command] + ports + extra))
        walls[label] = statistics.median(r["wall"] for r in runs)
        rows.append((f"{label}: wall time", spread([r["wall"] for r in runs], "s")))
        rows.append((f"{label}: wire floor", spread([r["floor"] for r in runs], "s")))
        rows.append((f"{label}: wall / floor", spread([r["wall"] / r["floor"] for r in runs], "x", 2)))
        rows.append((f"{label}: CPU per adapter",
                     spread([100 * r["cpu"] / r["wall"] / adapters for r in runs], "% of a core", 2)))
        rows.append((f"{label}: CPU time per adapter",
                     spread([1000 * r["cpu"] / adapters for r in runs], "ms", 1)))
        rows.append((f"{label}: peak resident memory",
                     spread([r["rss"] / 1024 for r in runs], "MiB", 1)))
    rows += pair_beside_write(cli, simulator, rounds)
    idle = [run_idle(cli) for _ in range(rounds)]
    rows.append(("start-up and exit, no port: CPU", spread(idle, "ms", 1)))
    for many, one in (("write+verify, 16 adapters", "write+verify, 1 adapter"),
                      ("read, 64 adapters", "read, 1 adapter"),
                      ("write+verify, 64 adapters", "write+verify, 1 adapter")):
        rows.append((f"{many} / 1 adapter, wall time", f"{walls[many] / walls[one]:.2f} x"))

    print_table(f"pairwick-cli provisioning, {rounds} rounds, simulators paced at 9600 8N1 "
                "with a 20 ms reply delay", rows)


if __name__ == "__main__":
    main()
