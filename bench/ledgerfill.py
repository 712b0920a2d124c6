# SPDX-License-Identifier: GPL-3.0-or-later
"""The ledger filled through SQL for bench/ledger.py and bench/yield.py: units added to a batch
that a station began, and a ledger as the first schema made it, for the time of its migration;
on SQLite and on PostgreSQL."""
import sqlite3
import subprocess

BATCH = "year"

# Units after the station's own first ones; times `apart` seconds apart (a minute unless told)
# from the start of the year.
# SQLite and PostgreSQL spell the numbers, the text and the times apart, so each has its own.
SQLITE_FILL = """
WITH RECURSIVE n(i) AS (SELECT :first UNION ALL SELECT i + 1 FROM n WHERE i < :last)
INSERT INTO units (batch, seq, address, unit_values, values_problem, created, name, state,
                   latest_attempt, station, slot, attempts, version, latest)
SELECT :batch, i, printf('0D:%02X:%02X:%02X:%02X:%02X', i >> 32 & 255, i >> 24 & 255,
       i >> 16 & 255, i >> 8 & 255, i & 255),
       json_object('name', 'Year-' || i, 'pin', printf('%06d', i % 1000000)), '',
       strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', '+' || (i * :apart) || ' seconds'),
       'Year-' || i,
       'passed', 'p' || i, 'filler', '1', CASE WHEN i % 20 = 0 THEN 2 ELSE 1 END, 'v1',
       strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', '+' || (i * :apart) || ' seconds',
                '+5 seconds')
FROM n;
INSERT INTO attempts (id, batch, seq, address, station, slot, device, started, ended, result,
                      found, version)
SELECT 'p' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0',
       strftime('%Y-%m-%dT%H:%M:%fZ', created, '+2 seconds'), latest, 'passed', '{}', 'v1'
FROM units WHERE batch = :batch AND seq >= :first
UNION ALL
SELECT 'f' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0', created,
       strftime('%Y-%m-%dT%H:%M:%fZ', created, '+1 seconds'), 'failed', '{}', 'v1'
FROM units WHERE batch = :batch AND seq >= :first AND seq % 20 = 0;
"""

POSTGRES_FILL = """
INSERT INTO units (batch, seq, address, unit_values, values_problem, created, name, state,
                   latest_attempt, station, slot, attempts, version, latest)
SELECT :'batch', i, '0D:' || substr(upper(lpad(to_hex(i), 8, '0')), 1, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 3, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 5, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 7, 2) || ':00',
       json_build_object('name', 'Year-' || i, 'pin', lpad((i % 1000000)::text, 6, '0'))::text,
       '', to_char(t, 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'), 'Year-' || i, 'passed', 'p' || i,
       'filler', '1', CASE WHEN i % 20 = 0 THEN 2 ELSE 1 END, 'v1',
       to_char(t + interval '5 seconds', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"')
FROM generate_series(:first::bigint, :last::bigint) AS i,
     LATERAL (SELECT timestamp '2026-01-01' + i * :apart * interval '1 second' AS t) AS times;
INSERT INTO attempts (id, batch, seq, address, station, slot, device, started, ended, result,
                      found, version)
SELECT 'p' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0',
       to_char(created::timestamp + interval '2 seconds', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'),
       latest, 'passed', '{}', 'v1'
FROM units WHERE batch = :'batch' AND seq >= :first
UNION ALL
SELECT 'f' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0', created,
       to_char(created::timestamp + interval '1 second', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'),
       'failed', '{}', 'v1'
FROM units WHERE batch = :'batch' AND seq >= :first AND seq % 20 = 0;
"""

# What a station keeps beside the records, brought up to date for the filled units at once.
KEEP = """
UPDATE batches SET next_seq = {last} + 1, units = units + {count}, passed = passed + {count},
    first_activity = (SELECT MIN(created) FROM units WHERE batch = '{batch}'),
    last_activity = (SELECT MAX(latest) FROM units WHERE batch = '{batch}')
WHERE name = '{batch}';
INSERT INTO batch_stations (batch, station) VALUES ('{batch}', 'filler') ON CONFLICT DO NOTHING;
"""

# A ledger as the first schema (version 1) made it, for the time of its migration: its tables as
# they were then, one batch of units, each passed, one in twenty after a failed attempt.
SCHEMA_1 = """
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version (version) VALUES (1);
CREATE TABLE batches (name TEXT PRIMARY KEY, rules TEXT NOT NULL, first_seq BIGINT NOT NULL,
                      next_seq BIGINT NOT NULL, created TEXT NOT NULL);
CREATE TABLE units (batch TEXT NOT NULL REFERENCES batches (name), seq BIGINT NOT NULL,
                    address TEXT NOT NULL, unit_values TEXT NOT NULL,
                    values_problem TEXT NOT NULL, created TEXT NOT NULL,
                    PRIMARY KEY (batch, seq), UNIQUE (batch, address));
CREATE TABLE attempts (id TEXT PRIMARY KEY, batch TEXT NOT NULL, seq BIGINT NOT NULL,
                       address TEXT NOT NULL, station TEXT NOT NULL, slot TEXT NOT NULL,
                       device TEXT NOT NULL, started TEXT NOT NULL, ended TEXT,
                       result TEXT NOT NULL, step TEXT NOT NULL DEFAULT '',
                       error TEXT NOT NULL DEFAULT '', found TEXT NOT NULL,
                       read_back TEXT NOT NULL DEFAULT '{}', version TEXT NOT NULL DEFAULT '',
                       written TEXT NOT NULL DEFAULT '[]', unchanged TEXT NOT NULL DEFAULT '[]',
                       on_pass_status INTEGER,
                       FOREIGN KEY (batch, seq) REFERENCES units (batch, seq));
CREATE INDEX attempts_of_unit ON attempts (batch, seq, started);
CREATE INDEX attempts_of_address ON attempts (batch, address, ended);
CREATE INDEX attempts_of_station ON attempts (station, ended);
"""

# Both fills of a schema-1 ledger end with its attempts, made from its units.
SCHEMA_1_ATTEMPTS = """
INSERT INTO attempts (id, batch, seq, address, station, slot, device, started, ended, result,
                      found, version)
SELECT 'p' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0', {later}, {later}, 'passed',
       '{{}}', 'v1'
FROM units
UNION ALL
SELECT 'f' || seq, batch, seq, address, 'filler', '1', '/dev/ttyUSB0', created, created,
       'failed', '{{}}', 'v1'
FROM units WHERE seq % 20 = 0;
"""

SQLITE_FILL_1 = """
INSERT INTO batches VALUES ('year', '{}', 1, :last + 1, '2026-01-01T00:00:00.000Z');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :last)
INSERT INTO units (batch, seq, address, unit_values, values_problem, created)
SELECT 'year', i, printf('0D:%02X:%02X:%02X:%02X:%02X', i >> 32 & 255, i >> 24 & 255,
       i >> 16 & 255, i >> 8 & 255, i & 255),
       json_object('name', 'Year-' || i, 'pin', printf('%06d', i % 1000000)), '',
       strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', '+' || i || ' minutes')
FROM n;
""" + SCHEMA_1_ATTEMPTS.format(later="strftime('%Y-%m-%dT%H:%M:%fZ', created, '+2 seconds')")

POSTGRES_FILL_1 = """
INSERT INTO batches VALUES ('year', '{}', 1, :last + 1, '2026-01-01T00:00:00.000Z');
INSERT INTO units (batch, seq, address, unit_values, values_problem, created)
SELECT 'year', i, '0D:' || substr(upper(lpad(to_hex(i), 8, '0')), 1, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 3, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 5, 2) || ':' ||
       substr(upper(lpad(to_hex(i), 8, '0')), 7, 2) || ':00',
       json_build_object('name', 'Year-' || i, 'pin', lpad((i % 1000000)::text, 6, '0'))::text,
       '', to_char(timestamp '2026-01-01' + i * interval '1 minute',
                   'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"')
FROM generate_series(1, :last::bigint) AS i;
""" + SCHEMA_1_ATTEMPTS.format(
    later="""to_char(created::timestamp + interval '2 seconds', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"')""")


def sqlite_address(number):
    return "0D:" + ":".join(f"{number >> shift & 255:02X}" for shift in (32, 24, 16, 8, 0))


def postgres_address(number):
    digits = f"{number:08X}"
    return "0D:" + ":".join(digits[at:at + 2] for at in (0, 2, 4, 6)) + ":00"


def fill_sqlite(path, first, last, apart=60):
    with sqlite3.connect(path) as db:
        parameters = {"batch": BATCH, "first": first, "last": last, "apart": apart}
        for statement in SQLITE_FILL.split(";"):
            if statement.strip():
                db.execute(statement, parameters)
        db.executescript(KEEP.format(batch=BATCH, first=first, last=last,
                                     count=last - first + 1))


def fill_postgres(url, first, last, apart=60):
    address, host = url.split("?host=")
    database = address.rpartition("/")[2]
    script = POSTGRES_FILL + KEEP.format(batch=BATCH, first=first, last=last,
                                         count=last - first + 1)
    psql = ["psql", "-q", "-v", "ON_ERROR_STOP=1", "-h", host, "-U", "postgres", "-d", database]
    subprocess.run(psql + ["-v", f"batch={BATCH}", "-v", f"first={first}", "-v", f"last={last}",
                           "-v", f"apart={apart}", "-1"], input=script, text=True, check=True,
                   stdout=subprocess.DEVNULL)
    # Done now rather than by autovacuum in the middle of the figures.
    subprocess.run(psql + ["-c", "VACUUM ANALYZE"], check=True, stdout=subprocess.DEVNULL)


def fill_sqlite_schema_1(path, size):
    with sqlite3.connect(path) as db:
        db.executescript(SCHEMA_1)
        for statement in SQLITE_FILL_1.split(";"):
            if statement.strip():
                db.execute(statement, {"last": size})


def fill_postgres_schema_1(url, size):
    address, host = url.split("?host=")
    psql = ["psql", "-q", "-v", "ON_ERROR_STOP=1", "-h", host, "-U", "postgres", "-d",
            address.rpartition("/")[2]]
    subprocess.run(psql + ["-v", f"last={size}", "-1"], input=SCHEMA_1 + POSTGRES_FILL_1,
                   text=True, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(psql + ["-c", "VACUUM ANALYZE"], check=True, stdout=subprocess.DEVNULL)
