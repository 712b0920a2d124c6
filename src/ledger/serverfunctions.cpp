// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/serverfunctions.h"

#include "ledger/reservedunit.h"
#include "ledger/stationcalls.h"

namespace pairwick::ledger {

namespace {

// The counts of a batch move with the state of one of its units, and its first and last
// activity take in the time.
constexpr const char *KeepBatch = R"sql(
CREATE OR REPLACE FUNCTION pairwick_keep_batch(p_batch TEXT, p_time TEXT, p_before TEXT,
    p_after TEXT) RETURNS void LANGUAGE sql AS $$
  UPDATE batches SET
    passed = passed + (p_after = 'passed')::int - (p_before = 'passed')::int,
    failed = failed + (p_after = 'failed')::int - (p_before = 'failed')::int,
    interrupted = interrupted + (p_after = 'interrupted')::int
      - (p_before = 'interrupted')::int,
    rejected = rejected + (p_after = 'rejected')::int - (p_before = 'rejected')::int,
    first_activity = CASE WHEN first_activity IS NULL OR first_activity > p_time THEN p_time
      ELSE first_activity END,
    last_activity = CASE WHEN last_activity IS NULL OR last_activity < p_time THEN p_time
      ELSE last_activity END
  WHERE name = p_batch
$$)sql";

// A unit that passed once stays passed; the others take their latest attempt's result.
constexpr const char *StateAfter = R"sql(
CREATE OR REPLACE FUNCTION pairwick_state_after(p_before TEXT, p_result TEXT,
    p_latest BOOLEAN) RETURNS TEXT LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN p_before = 'passed' OR p_result = 'passed' THEN 'passed'
    WHEN p_latest THEN p_result ELSE p_before END
$$)sql";

// An attempt was recorded; the latest one by its start gives its unit its station and slot.
// Stations' clocks may disagree, so "latest" is the start, then the id, compared as bytes.
constexpr const char *KeepBegun = R"sql(
CREATE OR REPLACE FUNCTION pairwick_keep_begun(p_batch TEXT, p_seq BIGINT, p_id TEXT,
    p_result TEXT, p_time TEXT, p_station TEXT, p_slot TEXT) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  kept RECORD;
  is_latest BOOLEAN;
  new_state TEXT;
BEGIN
  SELECT u.state, COALESCE(u.latest_attempt, '') AS latest_attempt,
      COALESCE(l.started, '') AS latest_started INTO kept
    FROM units u LEFT JOIN attempts l ON l.id = u.latest_attempt
    WHERE u.batch = p_batch AND u.seq = p_seq;
  is_latest := kept.latest_attempt = ''
    OR p_time COLLATE "C" > kept.latest_started
    OR (p_time = kept.latest_started AND p_id COLLATE "C" >= kept.latest_attempt);
  new_state := pairwick_state_after(kept.state, p_result, is_latest);
  UPDATE units SET state = new_state, attempts = attempts + 1,
      latest_attempt = CASE WHEN is_latest THEN p_id ELSE latest_attempt END,
      station = CASE WHEN is_latest THEN p_station ELSE station END,
      slot = CASE WHEN is_latest THEN p_slot ELSE slot END,
      latest = CASE WHEN latest < p_time THEN p_time ELSE latest END
    WHERE batch = p_batch AND seq = p_seq;
  INSERT INTO batch_stations (batch, station) VALUES (p_batch, p_station)
    ON CONFLICT DO NOTHING;
  PERFORM pairwick_keep_batch(p_batch, p_time, kept.state, new_state);
END
$$)sql";

// An open attempt got its result: it ended, or was given up as interrupted.
constexpr const char *KeepEnded = R"sql(
CREATE OR REPLACE FUNCTION pairwick_keep_ended(p_batch TEXT, p_seq BIGINT, p_id TEXT,
    p_result TEXT, p_time TEXT, p_version TEXT) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  old_state TEXT;
  is_latest BOOLEAN;
  new_state TEXT;
BEGIN
  SELECT state, COALESCE(latest_attempt, '') = p_id INTO old_state, is_latest
    FROM units WHERE batch = p_batch AND seq = p_seq;
  new_state := pairwick_state_after(old_state, p_result, is_latest);
  UPDATE units SET state = new_state,
      version = CASE WHEN is_latest AND p_version <> '' THEN p_version ELSE version END,
      latest = CASE WHEN latest < p_time THEN p_time ELSE latest END
    WHERE batch = p_batch AND seq = p_seq;
  PERFORM pairwick_keep_batch(p_batch, p_time, old_state, new_state);
END
$$)sql";

// The reservation: its checks in the order a unit meets them, the outcome as the first column.
// A new unit gets its number with its values still to come (an empty text): they are worked
// out from the number by the station, which stores them before it writes anything.
constexpr const char *BeginAttempt = R"sql(
CREATE OR REPLACE FUNCTION pairwick_begin_attempt(p_id TEXT, p_batch TEXT, p_address TEXT,
    p_station TEXT, p_slot TEXT, p_device TEXT, p_started TEXT, p_stale TEXT, p_found TEXT,
    p_again BIGINT, p_count BIGINT, p_operator TEXT,
    OUT o_outcome TEXT, OUT o_seq BIGINT, OUT o_values TEXT, OUT o_problem TEXT,
    OUT o_passed_station TEXT, OUT o_passed_at TEXT, OUT o_busy_with TEXT,
    OUT o_attempts BIGINT)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
DECLARE
  take_over_before TEXT := p_stale;
  batch_passed BIGINT;
  given_up RECORD;
  has_unit BOOLEAN;
  has_passed BOOLEAN := false;
  unit_state TEXT;
  attempt_result TEXT;
BEGIN
  SELECT passed INTO batch_passed FROM batches WHERE name = p_batch FOR UPDATE;
  IF NOT FOUND THEN
    o_outcome := 'no batch';
    RETURN;
  END IF;
  IF p_count > 0 AND batch_passed >= p_count THEN
    o_outcome := 'count reached';
    RETURN;
  END IF;
  -- Another login's attempt is taken over only once it is stale by the server's clock too.
  IF NOT pairwick_by_owner() THEN
    take_over_before := LEAST(p_stale, to_char(clock_timestamp() AT TIME ZONE 'UTC'
      - interval '%staleSeconds seconds', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'));
  END IF;
  FOR given_up IN UPDATE attempts SET ended = p_started, result = 'interrupted'
      WHERE batch = p_batch AND address = p_address AND ended IS NULL
        AND (started < take_over_before
          OR (station = p_station AND slot = p_slot AND pairwick_may_change(login)))
      RETURNING id, seq LOOP
    PERFORM pairwick_keep_ended(p_batch, given_up.seq, given_up.id, 'interrupted', p_started,
      '');
  END LOOP;
  SELECT station || ' ' || slot INTO o_busy_with FROM attempts
    WHERE batch = p_batch AND address = p_address AND ended IS NULL ORDER BY started LIMIT 1;
  IF FOUND THEN
    o_outcome := 'busy';
    RETURN;
  END IF;
  SELECT seq, unit_values, values_problem, state, attempts + 1
    INTO o_seq, o_values, o_problem, unit_state, o_attempts FROM units
    WHERE batch = p_batch AND address = p_address;
  has_unit := FOUND;
  IF has_unit AND p_again = 0 THEN
    SELECT station, ended INTO o_passed_station, o_passed_at FROM attempts
      WHERE batch = p_batch AND seq = o_seq AND result = 'passed' ORDER BY ended LIMIT 1;
    has_passed := FOUND;
  END IF;
  IF has_unit AND NOT has_passed AND unit_state = 'rejected' THEN
    o_outcome := 'rejected';
    attempt_result := 'rejected';
  ELSIF NOT has_passed AND p_count > 0 AND batch_passed + (SELECT COUNT(DISTINCT seq)
      FROM attempts WHERE batch = p_batch AND address <> p_address AND ended IS NULL
        AND result = 'started' AND started >= p_stale) >= p_count THEN
    o_outcome := 'full';
    RETURN;
  ELSE
    o_outcome := CASE WHEN has_passed THEN 'already passed' ELSE 'reserved' END;
    attempt_result := CASE WHEN has_passed THEN 'already' ELSE 'started' END;
  END IF;
  IF NOT has_unit THEN
    UPDATE batches SET next_seq = next_seq + 1, units = units + 1 WHERE name = p_batch
      RETURNING next_seq - 1 INTO o_seq;
    o_values := '';
    o_problem := '';
    INSERT INTO units (batch, seq, address, unit_values, values_problem, created, name, latest)
      VALUES (p_batch, o_seq, p_address, o_values, o_problem, p_started, '', p_started);
  END IF;
  INSERT INTO attempts (id, batch, seq, address, station, slot, device, started, ended,
      result, found, login, operator_name)
    VALUES (p_id, p_batch, o_seq, p_address, p_station, p_slot, p_device, p_started,
      CASE WHEN attempt_result <> 'started' THEN p_started END, attempt_result, p_found,
      session_user, p_operator);
  PERFORM pairwick_keep_begun(p_batch, o_seq, p_id, attempt_result, p_started, p_station,
    p_slot);
END
$$)sql";

// Storing the same end twice changes nothing: a replayed end finds its attempt closed.
constexpr const char *FinishAttempt = R"sql(
CREATE OR REPLACE FUNCTION pairwick_finish_attempt(p_id TEXT, p_ended TEXT, p_result TEXT,
    p_step TEXT, p_error TEXT, p_detail TEXT, p_read_back TEXT, p_version TEXT, p_written TEXT,
    p_sent TEXT, p_unchanged TEXT) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
DECLARE
  target RECORD;
  closed RECORD;
  kept_result TEXT := p_result;
BEGIN
  SELECT * INTO target FROM pairwick_attempt_of_caller(p_id);
  -- The batch first, as a reservation locks it, so that the two never wait on each other.
  PERFORM 1 FROM batches WHERE name = target.o_batch FOR UPDATE;
  UPDATE attempts SET ended = p_ended, result = p_result, step = p_step, error = p_error,
      detail = p_detail, read_back = p_read_back, version = p_version, written = p_written, sent = p_sent,
      unchanged = p_unchanged
    WHERE id = p_id AND ended IS NULL RETURNING batch, seq INTO closed;
  IF FOUND THEN
    -- The failure that reaches the batch's limit rejects the unit; the attempt stays failed.
    IF p_result = 'failed' AND (SELECT max_attempts > 0 AND max_attempts <= (SELECT COUNT(*)
        FROM attempts a WHERE a.batch = closed.batch AND a.seq = closed.seq
          AND a.result = 'failed') FROM batches WHERE name = closed.batch) THEN
      kept_result := 'rejected';
    END IF;
    PERFORM pairwick_keep_ended(closed.batch, closed.seq, p_id, kept_result, p_ended,
      p_version);
  END IF;
END
$$)sql";

}  // namespace

QStringList serverFunctions() {
    QStringList functions = callerChecks();
    for (const char *definition :
         {KeepBatch, StateAfter, KeepBegun, KeepEnded, BeginAttempt, FinishAttempt})
        functions.append(QString::fromLatin1(definition).trimmed());
    functions += stationCalls();
    functions.replaceInStrings(QStringLiteral("%staleSeconds"),
                               QString::number(StaleAfterMs / 1000));
    // A function is anyone's to call until revoked; these run with the owner's rights.
    functions.append(QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM PUBLIC")
                         .arg(stationCallNames().join(QStringLiteral(", "))));
    return functions;
}

}  // namespace pairwick::ledger
