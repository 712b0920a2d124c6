// SPDX-License-Identifier: GPL-3.0-or-later
// A station's whole day on one batch, and the version-1 ledger the same records once were.
#include <QSqlQuery>
#include <QTest>
#include <algorithm>

#include "ledger/schema.h"
#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using namespace pairwick::ledger::testing;
using settings::Key;

void TestLedger::reservesAttemptsAndCounts_data() {
    backends();
}

// One batch through a station's life: numbers, returns, passes, busy slots, stale attempts,
// replays and the reports on it all.
void TestLedger::reservesAttemptsAndCounts() {
    QFETCH(QString, backend);
    const QString url = freshUrl(backend);
    Ledger ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("main"));
    int calls = 0;
    const auto values = valuesNamed(&calls);
    const QString a = QStringLiteral("0A:11:22:33:44:01");
    const QString b = QStringLiteral("0A:11:22:33:44:02");
    const QString c = QStringLiteral("0A:11:22:33:44:03");

    const AttemptStart unknownBatch = [&] {
        AttemptStart start = startAt(a, QStringLiteral("s1"), QStringLiteral("1"), Morning);
        start.batch = QStringLiteral("B9");
        return start;
    }();
    QVERIFY_THROWS_EXCEPTION(LedgerError, ledger.beginAttempt(unknownBatch, false, 0, values));
    ledger.joinBatch(QStringLiteral("B1"), {}, 100, nullptr);

    const AttemptStart a1 = startAt(a, QStringLiteral("s1"), QStringLiteral("1"), Morning);
    const Reservation ra = ledger.beginAttempt(a1, false, 0, values);
    QCOMPARE(ra.outcome, Reservation::Outcome::Reserved);
    QCOMPARE(ra.unit.seq, 100);
    QCOMPARE(ra.unit.values.value(Key::Name), QStringLiteral("Unit-100"));
    const AttemptStart b1 =
        startAt(b, QStringLiteral("s1"), QStringLiteral("2"), Morning.addSecs(1));
    QCOMPARE(ledger.beginAttempt(b1, false, 0, values).unit.seq, 101);
    // With A and B in progress a count of two is spoken for: C waits, and takes no number.
    QCOMPARE(ledger
                 .beginAttempt(startAt(c, QStringLiteral("s2"), QStringLiteral("1"), Morning),
                               false, 2, values)
                 .outcome,
             Reservation::Outcome::Full);
    const AttemptStart c1 =
        startAt(c, QStringLiteral("s2"), QStringLiteral("1"), Morning.addSecs(2));
    const Reservation rc = ledger.beginAttempt(
        c1, false, 0, [](qint64) -> std::variant<settings::AdapterSettings, QString> {
            return QStringLiteral("pin too long");
        });
    QCOMPARE(rc.unit.seq, 102);
    QCOMPARE(rc.unit.valuesProblem, QStringLiteral("pin too long"));
    ledger.finishAttempt(endOf(c1, AttemptResult::Failed));

    // A is open at s1/1: every other station or slot is told so, and nothing is recorded.
    for (const auto &[station, slot] : {std::pair{"s2", "1"}, std::pair{"s1", "3"}}) {
        const Reservation busy = ledger.beginAttempt(
            startAt(a, QLatin1String(station), QLatin1String(slot), Morning.addSecs(60)), false, 0,
            values);
        QCOMPARE(busy.outcome, Reservation::Outcome::Busy);
        QCOMPARE(busy.busyWith, QStringLiteral("s1 1"));
    }
    ledger.finishAttempt(endOf(a1, AttemptResult::Passed));
    AttemptEnd replayed = endOf(a1, AttemptResult::Failed, 9000);
    replayed.sent = {Key::Pin};
    ledger.finishAttempt(replayed);
    ledger.recordOnPass(a1.id, 3);
    ledger.recordOnPass(a1.id, 0);

    // A returns: its first values, no new number, and a visit recorded as "already".
    const AttemptStart a2 =
        startAt(a, QStringLiteral("s2"), QStringLiteral("1"), Morning.addSecs(120));
    const Reservation already = ledger.beginAttempt(a2, false, 0, values);
    QCOMPARE(already.outcome, Reservation::Outcome::AlreadyPassed);
    QCOMPARE(already.unit.seq, 100);
    QCOMPARE(already.unit.values.value(Key::Pin), QStringLiteral("1100"));
    QVERIFY(already.passed);
    QCOMPARE(already.passed->name, QStringLiteral("Unit-100"));
    QCOMPARE(already.passed->station, QStringLiteral("s1"));
    QCOMPARE(already.passed->at, Morning.addSecs(5));
    QCOMPARE(ledger.beginAttempt(a2, false, 1, values).outcome, Reservation::Outcome::CountReached);
    const AttemptStart a3 =
        startAt(a, QStringLiteral("s2"), QStringLiteral("1"), Morning.addSecs(130));
    QCOMPARE(ledger.beginAttempt(a3, true, 0, values).outcome, Reservation::Outcome::Reserved);
    AttemptEnd partWritten = endOf(a3, AttemptResult::Failed);
    partWritten.written = {Key::Name};
    partWritten.sent = {Key::Pin};
    ledger.finishAttempt(partWritten);
    QCOMPARE(calls, 2);

    // B was left open by s1, which died before B's values reached the ledger; eleven minutes
    // on it is stale, and s2 takes it over and gives it its values.
    execRaw(url, QStringLiteral("UPDATE units SET unit_values = '', name = '' WHERE seq = 101"));
    const AttemptStart b2 =
        startAt(b, QStringLiteral("s2"), QStringLiteral("2"), Morning.addSecs(11 * 60));
    const Reservation rb = ledger.beginAttempt(b2, false, 0, values);
    QCOMPARE(rb.outcome, Reservation::Outcome::Reserved);
    QCOMPARE(rb.unit.values.value(Key::Pin), QStringLiteral("1101"));
    QCOMPARE(calls, 3);
    QCOMPARE(ledger.markInterrupted(QStringLiteral("s2")), 1);
    QCOMPARE(ledger.markInterrupted(QStringLiteral("s2")), 0);

    const BatchTotals totals = ledger.totals(QStringLiteral("B1"));
    QCOMPARE(QList<qint64>({totals.units, totals.passed, totals.failed, totals.interrupted}),
             QList<qint64>({3, 1, 1, 1}));
    const QList<UnitRow> units = unitsOf(ledger);
    QCOMPARE(units.size(), 3);
    QStringList states;
    for (const UnitRow &unit : units)
        states << QStringLiteral("%1 %2 %3 %4/%5 %6")
                      .arg(unit.seq)
                      .arg(unit.name, unit.state, unit.station, unit.slot)
                      .arg(unit.attempts);
    QCOMPARE(states, QStringList({"100 Unit-100 passed s2/1 3", "101 Unit-101 interrupted s2/2 2",
                                  "102  failed s2/1 1"}));
    QCOMPARE(units.constFirst().version, QStringLiteral("v2.1"));
    QCOMPARE(units.constFirst().first, Morning);

    const QList<AttemptRow> attempts = attemptsOf(ledger, inBatch(QStringLiteral("B1")));
    QCOMPARE(attempts.size(), 6);
    const AttemptRow &passed = attempts.constFirst();
    QCOMPARE(passed.id, a1.id);
    QCOMPARE(passed.result, QStringLiteral("passed"));
    QCOMPARE(passed.ended, Morning.addSecs(5));
    QCOMPARE(passed.onPassStatus, std::optional<int>(3));
    QCOMPARE(passed.written, QList<Key>({Key::Name, Key::Pin}));
    QCOMPARE(passed.sent, QList<Key>());
    const auto partly = std::find_if(attempts.cbegin(), attempts.cend(),
                                     [&](const AttemptRow &row) { return row.id == a3.id; });
    QVERIFY(partly != attempts.cend());
    QCOMPARE(partly->written, QList<Key>({Key::Name}));
    QCOMPARE(partly->sent, QList<Key>({Key::Pin}));
    QCOMPARE(passed.found.value(Key::Address), a);
    QCOMPARE(attempts[1].result, QStringLiteral("interrupted"));
    QCOMPARE(attempts[1].ended, b2.started);

    const QList<BatchSummary> batches = ledger.batches();
    QCOMPARE(batches.size(), 1);
    QCOMPARE(batches.constFirst().next, 103);
    QCOMPARE(batches.constFirst().stations, QStringList({"s1", "s2"}));
    QCOMPARE(batches.constFirst().firstActivity, Morning);

    // Only what was active in the last stretch: A came back, B was taken over and cut short.
    const Selection lately = inBatch(QStringLiteral("B1"), Morning.addSecs(100));
    QList<qint64> recent;
    for (const UnitRow &unit : unitsOf(ledger, lately))
        recent.append(unit.seq);
    QCOMPARE(recent, QList<qint64>({100, 101}));
    QCOMPARE(attemptsOf(ledger, lately).size(), 4);
    QCOMPARE(unitsOf(ledger, inBatch(QStringLiteral("B2"))).size(), 0);
    QCOMPARE(disagreementsOf(ledger), QStringList());
    // A in its cohort at s1/1 passed at once and failed when written again; C failed; B was
    // never decided. The replayed end changed nothing.
    QCOMPARE(yieldOf(ledger),
             QStringList({"s1/1 1/1/1/1/0 5", "s2/1 1/0/0/0/0 -", "total 2/1/1/1/0 5", "| 2 1"}));

    // The same records as a version-1 ledger held them, which recorded nothing as sent: opening
    // it works the kept values out.
    execRaw(url, QStringLiteral("UPDATE attempts SET sent = '[]'"));
    const QStringList before = reportsOf(ledger);
    undoYieldRollups(url, backend);
    for (const char *statement : {"DROP TABLE labels",
                                  "ALTER TABLE attempts DROP COLUMN detail",
                                  "ALTER TABLE attempts DROP COLUMN operator_name",
                                  "ALTER TABLE batches DROP COLUMN max_attempts",
                                  "ALTER TABLE batches DROP COLUMN rejected",
                                  "DROP INDEX units_by_name_key",
                                  "DROP INDEX units_by_address_key",
                                  "DROP INDEX units_by_station",
                                  "DROP INDEX units_by_slot",
                                  "DROP INDEX units_by_attempts",
                                  "ALTER TABLE attempts DROP COLUMN sent",
                                  "DROP INDEX units_by_latest",
                                  "DROP INDEX units_by_name",
                                  "DROP INDEX units_by_state",
                                  "DROP INDEX attempts_open",
                                  "DROP INDEX attempts_in_order",
                                  "DROP TABLE batch_stations",
                                  "ALTER TABLE units DROP COLUMN name",
                                  "ALTER TABLE units DROP COLUMN state",
                                  "ALTER TABLE units DROP COLUMN latest_attempt",
                                  "ALTER TABLE units DROP COLUMN station",
                                  "ALTER TABLE units DROP COLUMN slot",
                                  "ALTER TABLE units DROP COLUMN attempts",
                                  "ALTER TABLE units DROP COLUMN version",
                                  "ALTER TABLE units DROP COLUMN latest",
                                  "ALTER TABLE batches DROP COLUMN units",
                                  "ALTER TABLE batches DROP COLUMN passed",
                                  "ALTER TABLE batches DROP COLUMN failed",
                                  "ALTER TABLE batches DROP COLUMN interrupted",
                                  "ALTER TABLE batches DROP COLUMN first_activity",
                                  "ALTER TABLE batches DROP COLUMN last_activity",
                                  "UPDATE schema_version SET version = 1"})
        execRaw(url, QLatin1String(statement));
    if (backend == u"postgresql")
        execRaw(url, QStringLiteral("ALTER TABLE attempts DROP COLUMN login"));
    // A stop once the units were gone through rolls all of it back.
    const auto stopAfterARange = [](const MigrationProgress &progress) {
        if (progress.stage == MigrationProgress::Stage::Working && progress.done > 0)
            throw LedgerError(QStringLiteral("stopped"));
    };
    QVERIFY_THROWS_EXCEPTION(LedgerError,
                             Ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("stop"),
                                    Ledger::Opening::ExistingOnly, stopAfterARange));
    {
        QSqlQuery old(rawDatabase(url));
        QVERIFY(old.exec(QStringLiteral("SELECT version FROM schema_version")) && old.next());
        QCOMPARE(old.value(0).toInt(), 1);
        QVERIFY(!old.exec(QStringLiteral("SELECT state FROM units")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    QList<MigrationProgress> told;
    Ledger migrated(*parseLedgerUrl(url, nullptr), QStringLiteral("migrated"),
                    Ledger::Opening::ExistingOnly,
                    [&told](const MigrationProgress &progress) { told.append(progress); });
    QVERIFY(told.size() >= 3);
    QCOMPARE(told.constFirst().stage, MigrationProgress::Stage::Started);
    QCOMPARE(told.constFirst().from, 1);
    QCOMPARE(told.constFirst().to, SchemaVersion);
    QCOMPARE(told.constLast().stage, MigrationProgress::Stage::Done);
    const qint64 total = told.constLast().total;
    QVERIFY(total > 0 && total % 3 == 0);  // the three units, once a pass
    for (qsizetype index = 2; index < told.size() - 1; ++index)
        QVERIFY(told[index].done > told[index - 1].done && told[index].done <= total);
    QCOMPARE(told[told.size() - 2].done, total);
    QCOMPARE(reportsOf(migrated), before);
    if (backend == u"postgresql") {
        // An opener that meets another's migration lock says that it waits, and may give up.
        bool waited = false;
        {
            QSqlDatabase holder = rawDatabase(url);
            QVERIFY(holder.transaction());
            QVERIFY(QSqlQuery(holder).exec(QStringLiteral("SELECT pg_advisory_xact_lock(7365)")));
            QVERIFY_THROWS_EXCEPTION(
                LedgerError,
                Ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("waits"),
                       Ledger::Opening::ExistingOnly, [&waited](const MigrationProgress &progress) {
                           waited = progress.stage == MigrationProgress::Stage::Waiting;
                           if (waited)
                               throw LedgerError(QStringLiteral("gave up"));
                       }));
            holder.rollback();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QVERIFY(waited);
    }
    QCOMPARE(disagreementsOf(migrated), QStringList());

    // What check finds when the kept values and the records part.
    execRaw(url, QStringLiteral("UPDATE units SET state = 'failed' WHERE seq = 100"));
    execRaw(url, QStringLiteral("UPDATE batches SET failed = failed + 1"));
    execRaw(url, QStringLiteral("UPDATE units SET attempts = 9 WHERE seq = 102"));
    execRaw(url, QStringLiteral("UPDATE yield_cohorts SET passed = 0"));
    QCOMPARE(disagreementsOf(migrated),
             QStringList({"batch B1: unit 100 is kept as failed, its attempts say passed",
                          "batch B1: unit 102 is kept with 9 attempts, 1 recorded",
                          "batch B1 keeps 3 units, 1 passed, 2 failed, 1 interrupted; its "
                          "records hold 3 units, 1 passed, 1 failed, 1 interrupted",
                          "batch B1: the yield kept for the hour 2026-12-08T10 (UTC) "
                          "disagrees with its attempts"}));
    QVERIFY(yieldOf(migrated).contains(QStringLiteral("may be stale")));
}
