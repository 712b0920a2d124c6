#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Figures of the yield report as the ledger grows: the batch of bench/ledger.py (begun by a
station, filled through SQL, each unit passed, one in twenty after a failed attempt), its units
spread evenly over one year as a line's would be, at 0, 1,000,000 and 10,000,000 units (--huge), on SQLite and
on a private PostgreSQL server. For each: `ledger report` of the whole batch and of one day, by
station and by hour (the best of three runs, the process's whole life); and a unit's time
outside its exchanges at the station (5 units on 1 slot) with the rollups kept, then with the
trigger that keeps them dropped, twice over; and on an X server (an Xvfb of its own when DISPLAY is unset)
pairwick-station's Yield tab: the time from the keys that open it to its charts drawn. Prints
figures; judges nothing.

Usage: bench/yield.py CLI SIMULATOR WINDOW [--huge]"""
import os
import sys
import tempfile
import time
import subprocess

from ledger import next_number, timed
from ledgerfill import BATCH, fill_postgres, fill_sqlite
from ledgertab import yield_tab
from privatepostgres import private_postgres
from station import run_stations, unit_figures
from xscreen import x_display

YEAR_S = 365 * 24 * 3600

# The filled units' rollups as the trigger would have kept them, had they ended one by one:
# each unit passed in the hour it began, one in twenty after a failed attempt (a retest), every
# pass 3 s long. The same SQL serves both databases.
ROLLUPS = """
UPDATE units SET cohort_station = 'filler', cohort_slot = '1', cohort_hour = substr(created, 1, 13)
WHERE batch = '{batch}' AND seq BETWEEN {first} AND {last};
INSERT INTO yield_cohorts (batch, station, slot, operator, first_hour, event_hour, units,
                           first_pass, passed, retests, rejected)
SELECT batch, 'filler', '1', '', substr(created, 1, 13), substr(created, 1, 13), COUNT(*),
       SUM(CASE WHEN seq % 20 = 0 THEN 0 ELSE 1 END), COUNT(*),
       SUM(CASE WHEN seq % 20 = 0 THEN 1 ELSE 0 END), 0
FROM units WHERE batch = '{batch}' AND seq BETWEEN {first} AND {last}
GROUP BY batch, substr(created, 1, 13)
ON CONFLICT (batch, first_hour, event_hour, station, slot, operator) DO UPDATE SET
  units = yield_cohorts.units + excluded.units,
  first_pass = yield_cohorts.first_pass + excluded.first_pass,
  passed = yield_cohorts.passed + excluded.passed,
  retests = yield_cohorts.retests + excluded.retests;
INSERT INTO yield_durations (batch, station, slot, operator, hour, tenths, passes)
SELECT batch, 'filler', '1', '', substr(created, 1, 13), 30, COUNT(*)
FROM units WHERE batch = '{batch}' AND seq BETWEEN {first} AND {last}
GROUP BY batch, substr(created, 1, 13)
ON CONFLICT (batch, hour, station, slot, operator, tenths) DO UPDATE SET
  passes = yield_durations.passes + excluded.passes;
INSERT INTO yield_failures (batch, station, slot, operator, hour, step, error, failures)
SELECT batch, 'filler', '1', '', substr(created, 1, 13), '', '', COUNT(*)
FROM units WHERE batch = '{batch}' AND seq BETWEEN {first} AND {last} AND seq % 20 = 0
GROUP BY batch, substr(created, 1, 13)
ON CONFLICT (batch, hour, station, slot, operator, step, error) DO UPDATE SET
  failures = yield_failures.failures + excluded.failures;
"""


def run_sql(ledger, script):
    """What the script's last statement printed, a value a line."""
    if ledger.startswith("sqlite:"):
        import sqlite3
        before, _, last = script.strip().rpartition(";")
        with sqlite3.connect(ledger[len("sqlite:"):]) as db:
            db.executescript(before + ";" if before else "")
            return "\n".join(str(row[0]) for row in db.execute(last))
    address, host = ledger.split("?host=")
    database = address.rpartition("/")[2]
    return subprocess.run(["psql", "-q", "-At", "-v", "ON_ERROR_STOP=1", "-h", host, "-U",
                           "postgres", "-d", database, "-1"], input=script, text=True,
                          check=True, stdout=subprocess.PIPE).stdout.strip()


def drop_rollup_trigger(ledger):
    """Drops the trigger that keeps the rollups; returns the SQL that makes it again."""
    if ledger.startswith("sqlite:"):
        made = run_sql(ledger, "SELECT sql FROM sqlite_master WHERE name = 'yield_on_end'")
        run_sql(ledger, "DROP TRIGGER yield_on_end; SELECT 1")
    else:
        made = run_sql(ledger, "SELECT pg_get_triggerdef(oid) FROM pg_trigger"
                               " WHERE tgname = 'yield_on_end'")
        run_sql(ledger, "DROP TRIGGER yield_on_end ON attempts; SELECT 1")
    return made


def best_of_three(command):
    return min(timed(command)[0] for _ in range(3))


def outside_exchanges(cli, simulator, ledger, first_unit):
    _, results, _, found = run_stations(cli, simulator, ledger, BATCH, [("bench", 1)], 5,
                                        first_unit=first_unit)
    return dict(unit_figures("x", results, found))["x: time outside exchanges"]


def measure(cli, simulator, window, display, backend, ledger, fill, size):
    run_stations(cli, simulator, ledger, BATCH, [("bench", 1)], 1)
    filled = next_number(cli, ledger)
    if size:
        started = time.monotonic()
        fill(filled, filled + size - 1)
        run_sql(ledger, ROLLUPS.format(batch=BATCH, first=filled, last=filled + size - 1) +
                "SELECT 1")
        print(f"{backend}: filled {size} units in {time.monotonic() - started:.0f} s",
              file=sys.stderr)
    report = [cli, "ledger", "report", "--ledger", ledger, "--batch", BATCH]
    day = ["--since", "2026-03-01", "--until", "2026-03-01"]
    figures = [best_of_three(report + ["--by", by] + window)
               for window in ([], day) for by in ("station", "hour")]
    tab = yield_tab(window, simulator, display, ledger, BATCH)
    # Kept, not kept, kept again and not again: a machine busy at one moment shows as a pair
    # that disagrees with the other.
    kept, not_kept = [], []
    for first_unit in (1000, 3000):
        kept.append(outside_exchanges(cli, simulator, ledger, first_unit))
        made = drop_rollup_trigger(ledger)
        not_kept.append(outside_exchanges(cli, simulator, ledger, first_unit + 1000))
        run_sql(ledger, made + "; SELECT 1")
    return [backend, f"{size:,}", *(f"{seconds:.2f} s" for seconds in figures), f"{tab:.2f} s",
            "; ".join(kept), "; ".join(not_kept)]


def main():
    cli, simulator, window = sys.argv[1:4]
    sizes = [0, 1_000_000] + ([10_000_000] if "--huge" in sys.argv[4:] else [])
    header = ["ledger", "units filled", "report by station", "report by hour",
              "one day by station", "one day by hour", "window: keys to the Yield tab's charts",
              "unit's time outside exchanges, rollups kept (min / median / max)",
              "the same, rollups not kept"]
    rows = []
    with (private_postgres() as create_database, tempfile.TemporaryDirectory() as folder,
          x_display() as (display, server)):
        for size in sizes:
            path = os.path.join(folder, f"yield{size}.sqlite")
            rows.append(measure(cli, simulator, window, display, "SQLite", f"sqlite:{path}",
                                lambda first, last: fill_sqlite(path, first, last,
                                                                YEAR_S / size), size))
            print(" | ".join(rows[-1]), file=sys.stderr)
            os.remove(path)
            url = create_database(f"yield{size}")
            rows.append(measure(cli, simulator, window, display, "PostgreSQL", url,
                                lambda first, last: fill_postgres(url, first, last,
                                                                  YEAR_S / size), size))
            print(" | ".join(rows[-1]), file=sys.stderr)
    print("\nThe yield report as the ledger grows: one batch over a year, each unit passed, one "
          f"in twenty after a failed attempt; the window on {server}\n")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
