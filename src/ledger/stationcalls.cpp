// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/stationcalls.h"

#include "ledger/serverfunctions.h"

namespace pairwick::ledger {

namespace {

// Inside a function of the owner's, current_user is the owner and session_user the login that
// called it; a superuser or a member of the owner's role counts as the owner.
constexpr const char *ByOwner = R"sql(
CREATE OR REPLACE FUNCTION pairwick_by_owner() RETURNS boolean LANGUAGE sql STABLE AS $$
  SELECT pg_has_role(session_user, current_user, 'USAGE')
$$)sql";

// An attempt is changed by the login that began it, or by the owner; begun by whom the server
// knows, not what a station says.
constexpr const char *MayChange = R"sql(
CREATE OR REPLACE FUNCTION pairwick_may_change(p_login TEXT) RETURNS boolean LANGUAGE sql
    STABLE AS $$
  SELECT p_login = session_user OR pairwick_by_owner()
$$)sql";

// The attempt's unit, or nulls for an unknown attempt; refused when another login began it.
constexpr const char *AttemptOfCaller = R"sql(
CREATE OR REPLACE FUNCTION pairwick_attempt_of_caller(p_id TEXT, OUT o_batch TEXT,
    OUT o_seq BIGINT) LANGUAGE plpgsql AS $$
DECLARE
  began_by TEXT;
BEGIN
  SELECT batch, seq, login INTO o_batch, o_seq, began_by FROM attempts WHERE id = p_id;
  IF FOUND AND NOT pairwick_may_change(began_by) THEN
    RAISE EXCEPTION 'attempt % was begun by another login than %', p_id, session_user
      USING ERRCODE = 'insufficient_privilege';
  END IF;
END
$$)sql";

constexpr const char *JoinBatch = R"sql(
CREATE OR REPLACE FUNCTION pairwick_join_batch(p_name TEXT, p_rules TEXT, p_first BIGINT,
    p_now TEXT) RETURNS BIGINT
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
BEGIN
  INSERT INTO batches (name, rules, first_seq, next_seq, created, max_attempts)
    VALUES (p_name, p_rules, p_first, p_first, p_now,
      COALESCE((p_rules::json ->> 'maxAttempts')::bigint, 0))
    ON CONFLICT (name) DO NOTHING;
  RETURN CASE WHEN FOUND THEN 1 ELSE 0 END;
END
$$)sql";

// The first values stored for a unit stay: nobody rewrites them.
constexpr const char *StoreValues = R"sql(
CREATE OR REPLACE FUNCTION pairwick_store_values(p_id TEXT, p_values TEXT, p_problem TEXT,
    p_name TEXT, OUT o_values TEXT, OUT o_problem TEXT)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
DECLARE
  target RECORD;
BEGIN
  SELECT * INTO target FROM pairwick_attempt_of_caller(p_id);
  UPDATE units SET unit_values = CASE WHEN unit_values = '' THEN p_values ELSE unit_values END,
      values_problem = CASE WHEN unit_values = '' THEN p_problem ELSE values_problem END,
      name = CASE WHEN unit_values = '' THEN p_name ELSE name END
    WHERE batch = target.o_batch AND seq = target.o_seq
    RETURNING unit_values, values_problem INTO o_values, o_problem;
END
$$)sql";

// The one change a passed attempt takes after its end, once.
constexpr const char *RecordOnPass = R"sql(
CREATE OR REPLACE FUNCTION pairwick_record_on_pass(p_id TEXT, p_status BIGINT) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
BEGIN
  PERFORM pairwick_attempt_of_caller(p_id);
  UPDATE attempts SET on_pass_status = p_status WHERE id = p_id AND on_pass_status IS NULL;
END
$$)sql";

// A station's start: its attempts that never ended, among those its login began.
constexpr const char *MarkInterrupted = R"sql(
CREATE OR REPLACE FUNCTION pairwick_mark_interrupted(p_station TEXT, p_now TEXT) RETURNS BIGINT
LANGUAGE plpgsql SECURITY DEFINER SET search_path = %schema, pg_temp AS $$
DECLARE
  given_up RECORD;
  closed BIGINT := 0;
BEGIN
  FOR given_up IN UPDATE attempts SET ended = p_now, result = 'interrupted'
      WHERE station = p_station AND ended IS NULL AND pairwick_may_change(login)
      RETURNING id, batch, seq LOOP
    PERFORM pairwick_keep_ended(given_up.batch, given_up.seq, given_up.id, 'interrupted', p_now,
      '');
    closed := closed + 1;
  END LOOP;
  RETURN closed;
END
$$)sql";

}  // namespace

QStringList stationCallNames() {
    return {QStringLiteral("pairwick_join_batch"),     QStringLiteral("pairwick_begin_attempt"),
            QStringLiteral("pairwick_store_values"),   QStringLiteral("pairwick_finish_attempt"),
            QStringLiteral("pairwick_record_on_pass"), QStringLiteral("pairwick_mark_interrupted")};
}

QStringList callerChecks() {
    QStringList functions;
    for (const char *definition : {ByOwner, MayChange, AttemptOfCaller})
        functions.append(QString::fromLatin1(definition).trimmed());
    return functions;
}

QStringList stationCalls() {
    QStringList functions;
    for (const char *definition : {JoinBatch, StoreValues, RecordOnPass, MarkInterrupted})
        functions.append(QString::fromLatin1(definition).trimmed());
    return functions;
}

}  // namespace pairwick::ledger
