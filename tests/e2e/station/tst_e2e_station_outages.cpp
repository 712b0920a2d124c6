// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing is lost when the ledger's server goes away or fails over to its standby, or when the
// station itself is killed.
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <cstdio>

#include "tst_e2e_station.h"

void TestE2eStation::ledgerOutageLosesNothing() {
    // Paced like a real line, so the server can go away while a unit is being written.
    SimulatorProcess &units = startUnits(1, {"--line-rate", "9600"});
    const QString url = postgresUrl();
    const QStringList rules{"COM1",     "--batch", "outage",    "--set",  "name=Probe-{seq}",
                            "--ledger", url,       "--station", "bench-4"};
    auto run = station(rules);
    QTRY_VERIFY_WITH_TIMEOUT(units.standardOutput().contains("<- AT+DEVICENAME="), PatienceMs);
    QVERIFY(m_postgres->stop());
    // The result waits; the next unit is not started while the ledger is away.
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 1, PatienceMs);
    units.command("next COM1");
    QTRY_VERIFY_WITH_TIMEOUT(
        (run->newUnits(), !run->slotEvents().isEmpty() && run->slotEvents().last().value("state") ==
                                                              QStringLiteral("ledger-away")),
        20000);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QVERIFY2(run->errors().contains("wait in"), run->errors().constData());
    QCOMPARE(units.standardOutput().count("<- AT+DEVICENAME="), 1);

    // The next start stores what waited before it provisions anything.
    QVERIFY(m_postgres->start());
    auto again = station(QStringList{"COM1", "--ledger", url, "--station", "bench-4", "--batch",
                                     "outage", "--count", "2"});
    operate({again.get()}, [] { return false; });
    QCOMPARE(again->finish(), 0);
    expectLedgerMatchesUnits(url, "outage", run->units() + again->units());
    const QJsonArray all = ledger({"units", "--batch", "outage", "--ledger", url});
    QCOMPARE(all.size(), 2);
    QCOMPARE(all[0].toObject().value("state").toString(), QStringLiteral("passed"));
    QVERIFY(!QFile::exists(m_folder->filePath("state/pairwick/spool-bench-4.json")) ||
            QFile(m_folder->filePath("state/pairwick/spool-bench-4.json")).size() < 8);
}

// The primary crashes mid-batch and its synchronous standby is promoted: the stations find it
// through the URL's second host, and every number it had confirmed is there.
void TestE2eStation::failoverToSynchronousStandbyLosesNothing() {
    PrivatePostgres primary({"synchronous_standby_names='*'", "synchronous_commit=on"});
    QVERIFY2(primary.problem().isEmpty(), qPrintable(primary.problem()));
    PrivatePostgres standby(primary, {});
    QVERIFY2(standby.problem().isEmpty(), qPrintable(standby.problem()));
    QVERIFY2(!primary.createDatabase("failover").isEmpty(), qPrintable(primary.problem()));
    const QString url =
        QStringLiteral("postgresql://postgres@/failover?host=%1,%2&target_session_attrs=read-write")
            .arg(primary.folder(), standby.folder());
    // Paced like a real line, so that the crash meets units being written.
    startUnits(4, {"--line-rate", "9600"});
    const QStringList rules{"--batch", "failover", "--set",    "name=Fo-{seq:3}",
                            "--count", "12",       "--ledger", url};
    auto east = station(QStringList{"COM1", "COM2", "--station", "east"} + rules);
    auto west = station(QStringList{"COM3", "COM4", "--station", "west"} + rules);
    operate({east.get(), west.get()},
            [&] { return east->units().size() + west->units().size() >= 4; });
    QVERIFY2(primary.stopImmediately(), qPrintable(primary.problem()));
    QVERIFY2(standby.promote(), qPrintable(standby.problem()));
    operate({east.get(), west.get()}, [] { return false; });
    QCOMPARE(east->finish(), 0);
    QCOMPARE(west->finish(), 0);
    qsizetype passed = 0;
    for (const Json &unit : east->units() + west->units())
        passed += unit.value("result").toString() == QStringLiteral("passed");
    QCOMPARE(passed, 12);
    expectLedgerMatchesUnits(url, "failover", east->units() + west->units());
    QCOMPARE(ledger({"units", "--ledger", url}).size(), passed);
}

// A station killed at seeded moments and started again under its name: the ledger and the units
// agree, and every result that was spooled is stored. PAIRWICK_STATION_KILLS and
// PAIRWICK_STATION_UNITS make the long run of the benchmark.
void TestE2eStation::killedStationsLoseNothing() {
    const int kills = qEnvironmentVariableIntValue("PAIRWICK_STATION_KILLS") > 0
                          ? qEnvironmentVariableIntValue("PAIRWICK_STATION_KILLS")
                          : 6;
    const int target = qEnvironmentVariableIntValue("PAIRWICK_STATION_UNITS") > 0
                           ? qEnvironmentVariableIntValue("PAIRWICK_STATION_UNITS")
                           : 12;
    const quint32 seed = quint32(qEnvironmentVariableIntValue("PAIRWICK_CHAOS_SEED")) + 1;
    QRandomGenerator random(seed);
    startUnits(2, {"--line-rate", "9600"});
    const QString url = sqliteUrl();
    const QStringList arguments{"COM1",           "COM2",   "--batch",        "chaos",    "--set",
                                "name=K-{seq:4}", "--set",  "pin={random:6}", "--ledger", url,
                                "--station",      "bench-5"};
    QList<Json> reported;
    for (int round = 0; round <= kills; ++round) {
        const bool last = round == kills;
        auto run = station(
            arguments + (last ? QStringList{"--count", QString::number(target)} : QStringList{}));
        const QDeadlineTimer killAt(last ? 600000 : random.bounded(200, 3000));
        operate(
            {run.get()}, [&] { return killAt.hasExpired(); }, 600000);
        if (!last)
            run->signal(SIGKILL);
        QCOMPARE(run->finish(), last ? 0 : -1);
        reported += run->units();
    }
    const Audit found = audit(url, "chaos", reported);
    const QString spool = m_folder->filePath("state/pairwick/spool-bench-5.json");
    const bool spoolEmpty = !QFile::exists(spool) || QFile(spool).size() < 8;
    std::printf(
        "station chaos, seed %u: %d kills, %d units in the ledger, %d numbers twice, %d "
        "gaps, %d disagreements with the units, %d lost results, %d attempts left open, %d "
        "cut short, %d disagreements of ledger check, spool %s\n",
        seed, kills, found.units, found.numbersTwice, found.gaps, found.disagreements, found.lost,
        found.open, found.interrupted, found.recount, spoolEmpty ? "empty" : "NOT EMPTY");
    std::fflush(stdout);
    expectLedgerMatchesUnits(url, "chaos", reported);
    QVERIFY(spoolEmpty);
    const QJsonArray batches = ledger({"batches", "--ledger", url});
    QVERIFY(batches[0].toObject().value("passed").toInteger() >= target);
}
