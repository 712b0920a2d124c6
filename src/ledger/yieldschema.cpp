// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/yieldschema.h"

namespace pairwick::ledger {

namespace {
QString sqliteTrigger(const QString &name, const QString &event, const QString &when,
                      const QStringList &body) {
    return QStringLiteral("CREATE TRIGGER %1 AFTER %2 FOR EACH ROW WHEN %3 BEGIN %4; END")
        .arg(name, event, when, body.join(QStringLiteral("; ")));
}

QStringList postgresTrigger(const QString &name, const QString &event, const QString &when,
                            const QStringList &body) {
    return {QStringLiteral("CREATE OR REPLACE FUNCTION pairwick_%1() RETURNS trigger"
                           " LANGUAGE plpgsql AS $$ BEGIN %2; RETURN NULL; END $$")
                .arg(name, body.join(QStringLiteral("; "))),
            QStringLiteral("CREATE TRIGGER %1 AFTER %2 FOR EACH ROW WHEN (%3)"
                           " EXECUTE FUNCTION pairwick_%1()")
                .arg(name, event, when)};
}

// The texts of the rollups, made on first use: the schema's steps are made while the program
// starts, in an order between files that no one chooses.
struct YieldTexts {
    const QString CohortColumns = QStringLiteral(
        "batch, station, slot, operator, first_hour, event_hour, units,"
        " first_pass, passed, retests, rejected");
    const QString DurationColumns =
        QStringLiteral("batch, station, slot, operator, hour, tenths, passes");
    const QString FailureColumns =
        QStringLiteral("batch, station, slot, operator, hour, step, error, failures");

    // Every change to a cohort's row adds: one clause serves each of them.
    const QString AddToCohort = QStringLiteral(
        " ON CONFLICT (batch, first_hour, event_hour, station, slot, operator) DO UPDATE SET"
        " units = yield_cohorts.units + excluded.units,"
        " first_pass = yield_cohorts.first_pass + excluded.first_pass,"
        " passed = yield_cohorts.passed + excluded.passed,"
        " retests = yield_cohorts.retests + excluded.retests,"
        " rejected = yield_cohorts.rejected + excluded.rejected");
    const QString AddToDurations = QStringLiteral(
        " ON CONFLICT (batch, hour, station, slot, operator, tenths) DO UPDATE SET"
        " passes = yield_durations.passes + excluded.passes");
    const QString AddToFailures = QStringLiteral(
        " ON CONFLICT (batch, hour, station, slot, operator, step, error) DO UPDATE SET"
        " failures = yield_failures.failures + excluded.failures");

    const QStringList Tables{
        QStringLiteral("ALTER TABLE units ADD COLUMN cohort_station TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE units ADD COLUMN cohort_slot TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE units ADD COLUMN cohort_operator TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE units ADD COLUMN cohort_hour TEXT"),
        QStringLiteral(
            "CREATE TABLE yield_cohorts ("
            " batch TEXT NOT NULL, station TEXT NOT NULL, slot TEXT NOT NULL,"
            " operator TEXT NOT NULL, first_hour TEXT NOT NULL, event_hour TEXT NOT NULL,"
            " units BIGINT NOT NULL, first_pass BIGINT NOT NULL, passed BIGINT NOT NULL,"
            " retests BIGINT NOT NULL, rejected BIGINT NOT NULL,"
            " PRIMARY KEY (batch, first_hour, event_hour, station, slot, operator))"),
        QStringLiteral("CREATE TABLE yield_durations ("
                       " batch TEXT NOT NULL, station TEXT NOT NULL, slot TEXT NOT NULL,"
                       " operator TEXT NOT NULL, hour TEXT NOT NULL, tenths BIGINT NOT NULL,"
                       " passes BIGINT NOT NULL,"
                       " PRIMARY KEY (batch, hour, station, slot, operator, tenths))"),
        QStringLiteral("CREATE TABLE yield_failures ("
                       " batch TEXT NOT NULL, station TEXT NOT NULL, slot TEXT NOT NULL,"
                       " operator TEXT NOT NULL, hour TEXT NOT NULL, step TEXT NOT NULL,"
                       " error TEXT NOT NULL, failures BIGINT NOT NULL,"
                       " PRIMARY KEY (batch, hour, station, slot, operator, step, error))"),
    };

    // The attempt that just ended, as the trigger sees it: NEW in both databases.
    const QStringList OnAttemptEnded{
        // A later decision of a unit that has its cohort already: a retest, and maybe its pass.
        QStringLiteral("INSERT INTO yield_cohorts (%1)"
                       " SELECT u.batch, u.cohort_station, u.cohort_slot, u.cohort_operator,"
                       " u.cohort_hour, substr(NEW.ended, 1, 13), 0, 0,"
                       " CASE WHEN NEW.result = 'passed' AND u.state <> 'passed' THEN 1 ELSE 0 END,"
                       " 1, 0 FROM units u WHERE u.batch = NEW.batch AND u.seq = NEW.seq"
                       " AND u.cohort_hour IS NOT NULL")
                .arg(CohortColumns) +
            AddToCohort,
        // Its first: the unit joins this attempt's cohort.
        QStringLiteral(
            "INSERT INTO yield_cohorts (%1)"
            " SELECT u.batch, NEW.station, NEW.slot, NEW.operator_name, substr(NEW.ended, 1, 13),"
            " substr(NEW.ended, 1, 13), 1,"
            " CASE WHEN NEW.result = 'passed' THEN 1 ELSE 0 END,"
            " CASE WHEN NEW.result = 'passed' AND u.state <> 'passed' THEN 1 ELSE 0 END,"
            " 0, 0 FROM units u WHERE u.batch = NEW.batch AND u.seq = NEW.seq"
            " AND u.cohort_hour IS NULL")
                .arg(CohortColumns) +
            AddToCohort,
        QStringLiteral(
            "UPDATE units SET cohort_station = NEW.station, cohort_slot = NEW.slot,"
            " cohort_operator = NEW.operator_name, cohort_hour = substr(NEW.ended, 1, 13)"
            " WHERE batch = NEW.batch AND seq = NEW.seq AND cohort_hour IS NULL"),
        QStringLiteral("INSERT INTO yield_durations (%1)"
                       " SELECT NEW.batch, NEW.station, NEW.slot, NEW.operator_name,"
                       " substr(NEW.ended, 1, 13), %tenths(NEW.started, NEW.ended), 1"
                       " WHERE NEW.result = 'passed'")
                .arg(DurationColumns) +
            AddToDurations,
        QStringLiteral("INSERT INTO yield_failures (%1)"
                       " SELECT NEW.batch, NEW.station, NEW.slot, NEW.operator_name,"
                       " substr(NEW.ended, 1, 13), NEW.step, NEW.error, 1"
                       " WHERE NEW.result = 'failed'")
                .arg(FailureColumns) +
            AddToFailures,
    };

    // A rejected unit counts in its cohort's own hour: whether it is rejected by a window's end is
    // not kept, only that it was.
    const QString OnUnitRejected =
        QStringLiteral(
            "INSERT INTO yield_cohorts (%1) VALUES (NEW.batch, NEW.cohort_station,"
            " NEW.cohort_slot, NEW.cohort_operator, NEW.cohort_hour, NEW.cohort_hour,"
            " 0, 0, 0, 0, 1)")
            .arg(CohortColumns) +
        AddToCohort;

    const QString AttemptEndedWhen = QStringLiteral(
        "OLD.ended IS NULL AND NEW.ended IS NOT NULL AND NEW.result IN ('passed', 'failed')");
    const QString UnitRejectedWhen = QStringLiteral(
        "NEW.state = 'rejected' AND OLD.state <> 'rejected' AND NEW.cohort_hour IS NOT NULL");

    const QString AttemptEvent = QStringLiteral("UPDATE OF ended ON attempts");
    const QString UnitEvent = QStringLiteral("UPDATE OF state ON units");

    // Each unit's decisions (attempts that passed or failed) in the order they ended; the first
    // one names its cohort. %range narrows the attempts read: to none for a recount of all, to a
    // range of units in a migration.
    const QString Decisions = QStringLiteral(
        "WITH decided AS (SELECT batch, seq, station, slot, operator_name AS operator, result,"
        "  substr(ended, 1, 13) AS hour,"
        "  ROW_NUMBER() OVER (PARTITION BY batch, seq ORDER BY ended, id) AS nth,"
        "  ROW_NUMBER() OVER (PARTITION BY batch, seq, result ORDER BY ended, id) AS nth_of_result"
        "  FROM attempts WHERE result IN ('passed', 'failed') AND ended IS NOT NULL%range),"
        " cohorts AS (SELECT batch, seq, station, slot, operator, hour FROM decided WHERE nth = "
        "1)");

    const QString CohortsRecount =
        Decisions +
        QStringLiteral(
            " SELECT batch, station, slot, operator, first_hour, event_hour, SUM(units) AS units,"
            " SUM(first_pass) AS first_pass, SUM(passed) AS passed, SUM(retests) AS retests,"
            " SUM(rejected) AS rejected FROM ("
            "  SELECT c.batch, c.station, c.slot, c.operator, c.hour AS first_hour,"
            "  d.hour AS event_hour, CASE WHEN d.nth = 1 THEN 1 ELSE 0 END AS units,"
            "  CASE WHEN d.nth = 1 AND d.result = 'passed' THEN 1 ELSE 0 END AS first_pass,"
            "  CASE WHEN d.result = 'passed' AND d.nth_of_result = 1 THEN 1 ELSE 0 END AS passed,"
            "  CASE WHEN d.nth > 1 THEN 1 ELSE 0 END AS retests, 0 AS rejected"
            "  FROM decided d JOIN cohorts c ON c.batch = d.batch AND c.seq = d.seq"
            "  UNION ALL SELECT c.batch, c.station, c.slot, c.operator, c.hour, c.hour, 0, 0, 0, "
            "0, 1"
            "  FROM units u JOIN cohorts c ON c.batch = u.batch AND c.seq = u.seq"
            "  WHERE u.state = 'rejected') events"
            " GROUP BY batch, station, slot, operator, first_hour, event_hour");

    const QString DurationsRecount = QStringLiteral(
        "SELECT batch, station, slot, operator_name AS operator, substr(ended, 1, 13) AS hour,"
        " %tenths(started, ended) AS tenths, COUNT(*) AS passes FROM attempts"
        " WHERE result = 'passed' AND ended IS NOT NULL%range"
        " GROUP BY batch, station, slot, operator_name, substr(ended, 1, 13),"
        " %tenths(started, ended)");

    const QString FailuresRecount = QStringLiteral(
        "SELECT batch, station, slot, operator_name AS operator, substr(ended, 1, 13) AS hour,"
        " step,"
        " error, COUNT(*) AS failures FROM attempts"
        " WHERE result = 'failed' AND ended IS NOT NULL%range"
        " GROUP BY batch, station, slot, operator_name, substr(ended, 1, 13), step,"
        " error");

    const QString CohortOfUnits =
        Decisions + QStringLiteral(
                        " UPDATE units SET cohort_station = c.station,"
                        " cohort_slot = c.slot, cohort_operator = c.operator,"
                        " cohort_hour = c.hour FROM cohorts c"
                        " WHERE units.batch = c.batch AND units.seq = c.seq"
                        " AND %unitRange(units)");
};

const YieldTexts &texts() {
    static const YieldTexts made;
    return made;
}

// A migration reads the attempts a range of units at a time, so that it can tell how far it is;
// each range adds its counts to the rows the ranges before it made.
QString overUnitRanges(QString statement) {
    return statement.replace(QStringLiteral("%range"), QStringLiteral(" AND %unitRange(attempts)"));
}

QString overAllUnits(QString statement) {
    return statement.remove(QStringLiteral("%range"));
}

}  // namespace

const QList<YieldRecount> &yieldRecounts() {
    const YieldTexts &t = texts();
    static const QList<YieldRecount> recounts{
        {QStringLiteral("yield_cohorts"), t.CohortColumns, overAllUnits(t.CohortsRecount),
         QStringLiteral("batch, first_hour")},
        {QStringLiteral("yield_durations"), t.DurationColumns, overAllUnits(t.DurationsRecount),
         QStringLiteral("batch, hour")},
        {QStringLiteral("yield_failures"), t.FailureColumns, overAllUnits(t.FailuresRecount),
         QStringLiteral("batch, hour")},
    };
    return recounts;
}

YieldSchemaChanges yieldRollupChanges() {
    const YieldTexts &t = texts();
    YieldSchemaChanges changes;
    changes.statements = t.Tables;
    changes.statements.append(overUnitRanges(t.CohortOfUnits));
    const QString built =
        QStringLiteral("INSERT INTO %1 (%2) SELECT * FROM (%3) recount WHERE true");
    changes.statements += QStringList{
        built.arg(QStringLiteral("yield_cohorts"), t.CohortColumns,
                  overUnitRanges(t.CohortsRecount)) +
            t.AddToCohort,
        built.arg(QStringLiteral("yield_durations"), t.DurationColumns,
                  overUnitRanges(t.DurationsRecount)) +
            t.AddToDurations,
        built.arg(QStringLiteral("yield_failures"), t.FailureColumns,
                  overUnitRanges(t.FailuresRecount)) +
            t.AddToFailures,
    };
    const QStringList &onEnded = t.OnAttemptEnded;
    changes.sqliteOnly = {
        sqliteTrigger(QStringLiteral("yield_on_end"), t.AttemptEvent, t.AttemptEndedWhen, onEnded),
        sqliteTrigger(QStringLiteral("yield_on_rejected"), t.UnitEvent, t.UnitRejectedWhen,
                      {t.OnUnitRejected})};
    changes.postgresOnly = postgresTrigger(QStringLiteral("yield_on_end"), t.AttemptEvent,
                                           t.AttemptEndedWhen, onEnded) +
                           postgresTrigger(QStringLiteral("yield_on_rejected"), t.UnitEvent,
                                           t.UnitRejectedWhen, {t.OnUnitRejected});
    return changes;
}

}  // namespace pairwick::ledger
