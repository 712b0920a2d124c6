// SPDX-License-Identifier: GPL-3.0-or-later
// A unit's later visits: one written already is not written again, one that failed is retried
// with its number's values, and one out of attempts is set aside.
#include <QFile>
#include <QJsonArray>
#include <QTest>
#include <csignal>

#include "tst_e2e_station.h"

void TestE2eStation::unitPutInAgainIsNotWrittenAgain() {
    SimulatorProcess &units = startUnits(1);
    const QString url = sqliteUrl();
    auto run = station({"COM1", "--batch", "again", "--set", "name=Unit-{seq}", "--ledger", url,
                        "--station", "bench-2"});
    // The same unit answers again after a silence: the slot saw it go and come back.
    for (int visit = 0; visit < 2; ++visit) {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), visit + 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        units.command("unmute COM1");
    }
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QCOMPARE(run->units()[0].value("result").toString(), QStringLiteral("passed"));
    for (int visit = 1; visit < 3; ++visit) {
        const Json unit = run->units()[visit];
        QCOMPARE(unit.value("result").toString(), QStringLiteral("already"));
        QCOMPARE(unit.value("seq").toInteger(), 1);
        QVERIFY2(unit.value("error").toString().startsWith(
                     "already provisioned as Unit-1 (#1, bench-2, "),
                 qPrintable(unit.value("error").toString()));
    }
    const QJsonArray attempts = ledger({"units", "--attempts", "--ledger", url});
    QCOMPARE(attempts.size(), 3);
    const QJsonArray units1 = ledger({"units", "--ledger", url});
    QCOMPARE(units1.size(), 1);
    QCOMPARE(units1[0].toObject().value("state").toString(), QStringLiteral("passed"));
    // Only the first visit wrote to the unit.
    QCOMPARE(units.standardOutput().count("<- AT+DEVICENAME="), 1);
}

// A batch that allows two attempts: the unit that failed twice is set aside at its third visit,
// which sends it nothing beyond the probe and the read that found it.
void TestE2eStation::rejectedUnitIsSetAside() {
    SimulatorProcess &units = startUnits(1, {"--error-on", "AT+PIN=4321"});
    const QString url = sqliteUrl();
    auto run = station({"COM1", "--batch", "limited", "--set", "pin=4321", "--max-attempts", "2",
                        "--operator", "Ana Lima", "--ledger", url, "--station", "bench-2"});
    qsizetype beforeThird = 0;
    for (int visit = 0; visit < 2; ++visit) {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), visit + 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        beforeThird = units.standardOutput().size();
        units.command("unmute COM1");
    }
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    for (int visit = 0; visit < 2; ++visit) {
        const Json failed = run->units()[visit];
        QCOMPARE(failed.value("result").toString(), QStringLiteral("failed"));
        QCOMPARE(failed.value("step").toString(), QStringLiteral("write:pin"));
        QCOMPARE(failed.value("errorCode").toString(), QStringLiteral("error-reply"));
    }
    const Json rejected = run->units()[2];
    QCOMPARE(rejected.value("result").toString(), QStringLiteral("rejected"));
    QCOMPARE(rejected.value("seq").toInteger(), 1);
    QCOMPARE(rejected.value("attempts").toInteger(), 3);
    QCOMPARE(rejected.value("operator").toString(), QStringLiteral("Ana Lima"));
    QCOMPARE(rejected.value("error").toString(),
             QStringLiteral("set it aside: #1 had 3 attempts and is not written again"));
    const QList<QByteArray> third = units.standardOutput().mid(beforeThird).split('\n');
    qsizetype sent = 0;
    for (const QByteArray &line : third) {
        const qsizetype at = line.indexOf("<- ");
        if (at < 0)
            continue;
        ++sent;
        const QByteArray command = line.mid(at + 3).trimmed();
        QVERIFY2(command == "AT" || command.endsWith('?'), command.constData());
    }
    QVERIFY(sent > 1);

    QStringList attempts;
    for (const QJsonValue &value : ledger({"units", "--attempts", "--ledger", url})) {
        const Json attempt = value.toObject();
        attempts << QStringList{attempt.value("result").toString(),
                                attempt.value("operator").toString(),
                                attempt.value("step").toString(), attempt.value("error").toString()}
                        .join(u'|');
    }
    QCOMPARE(attempts,
             QStringList({"failed|Ana Lima|write:pin|error-reply",
                          "failed|Ana Lima|write:pin|error-reply", "rejected|Ana Lima||"}));
    QCOMPARE(ledger({"units", "--state", "rejected", "--ledger", url}).size(), 1);
    QCOMPARE(ledger({"units", "--state", "failed", "--ledger", url}).size(), 0);
}

void TestE2eStation::failedUnitIsRetriedWithItsValues_data() {
    QTest::addColumn<bool>("stopped");
    QTest::newRow("no reply to the bind") << false;
    QTest::newRow("stopped while the bind waits for its reply") << true;
}

void TestE2eStation::failedUnitIsRetriedWithItsValues() {
    QFETCH(bool, stopped);
    const QString bind = QStringLiteral("1A2B:3C:4D5E6F");
    const QString values = m_folder->filePath("pairs.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("seq,role,bind\n1,master," + bind.toUtf8() + "\n");
    file.close();
    SimulatorProcess &units = startUnits(1, {"--silent-on", "AT+BINDADDR0=" + bind});
    const QString url = postgresUrl();
    const QStringList arguments{"COM1",     "--batch", "pairs",    "--set", "pin={random:4}",
                                "--values", values,    "--ledger", url,     "--station",
                                "bench-3"};
    QList<Json> reported;
    auto run = station(arguments + (stopped ? QStringList{"--timeout", "60000"} : QStringList{}));
    if (stopped) {
        // Stopped while the bind is out and its reply is awaited; the next start retries it.
        QTRY_VERIFY_WITH_TIMEOUT(units.standardOutput().contains("<- AT+BINDADDR0="), PatienceMs);
        run->signal(SIGTERM);
        QCOMPARE(run->finish(), 130);
        reported += run->units();
        run = station(arguments);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        units.command("unmute COM1");
    }
    const qsizetype before = reported.size();
    QTRY_COMPARE_WITH_TIMEOUT(before + run->unitCount(), 2, PatienceMs);
    // The next unit is not in the values file and passes.
    units.command("next COM1");
    QTRY_COMPARE_WITH_TIMEOUT(before + run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    reported += run->units();

    // The bind took effect although its reply never came, so the retry has nothing left to
    // write but must still verify the same number's values.
    const Json first = reported[0];
    const Json retry = reported[1];
    // The step and the error as codes, worded from them; the value written is the unit's own.
    const QString step = QStringLiteral("write:bind");
    const QString error = stopped ? "stopped-awaiting-reply" : "no-reply";
    QCOMPARE(first.value("result").toString(), stopped ? "interrupted" : "failed");
    QCOMPARE(first.value("step").toString(), step);
    QCOMPARE(first.value("errorCode").toString(), error);
    QCOMPARE(first.value("detail").toString(), stopped ? "" : "1000");
    QCOMPARE(first.value("error").toString(), stopped ? "no reply to write bind before the stop"
                                                      : "write bind: no reply within 1000 ms");
    QCOMPARE(retry.value("result").toString(), QStringLiteral("passed"));
    QCOMPARE(first.value("seq").toInteger(), 1);
    QCOMPARE(retry.value("seq").toInteger(), 1);
    const QString pin = retry.value("settings").toObject().value("pin").toString();
    QCOMPARE(retry.value("settings").toObject().value("bind").toString(), bind);
    // Written once to this unit, once to the next.
    QCOMPARE(units.standardOutput().count("<- AT+PIN="), 2);
    QVERIFY(units.standardOutput().contains("<- AT+PIN=" + pin.toUtf8() + "\n"));
    const Json next = reported[2];
    QCOMPARE(next.value("result").toString(), QStringLiteral("passed"));
    QCOMPARE(next.value("seq").toInteger(), 2);
    QCOMPARE(next.value("settings").toObject().value("role").toString(), QStringLiteral("slave"));

    // The cut-short attempt tells what the unit took, what it may have taken, and of its
    // settings only what no write changed; the unit itself holds every value sent.
    const QJsonArray written{"role", "pin"};
    const QJsonArray sent{"bind"};
    QCOMPARE(first.value("written").toArray(), written);
    QCOMPARE(first.value("sent").toArray(), sent);
    QCOMPARE(first.value("complete").toBool(true), false);
    const Json firstSettings = first.value("settings").toObject();
    QCOMPARE(firstSettings.value("name").toString(), QStringLiteral("PairwickSim"));
    for (const char *key : {"role", "pin", "bind"})
        QVERIFY2(!firstSettings.contains(key), key);
    const Fields holds = unitStates(units.standardOutput())[first.value("address").toString()];
    QCOMPARE(holds.at("role"), QStringLiteral("1"));  // the master role as the unit stores it
    QCOMPARE(holds.at("pin"), pin);
    QCOMPARE(holds.at("bind"), bind);

    // The line's yield as the server kept it: a cut-short attempt decides nothing, a failed one
    // makes its unit's pass a retest.
    const QJsonObject yield =
        ledger({"report", "--ledger", url, "--by", "slot"}).first().toObject();
    const QJsonObject slot = yield.value("groups").toArray().first().toObject();
    QCOMPARE(QJsonArray({slot.value("station"), slot.value("slot"), slot.value("units"),
                         slot.value("first_pass"), slot.value("passed"), slot.value("retests"),
                         slot.value("rejected"), yield.value("total").toObject().value("units")}),
             QJsonArray({"bench-3", "COM1", 2, stopped ? 2 : 1, 2, stopped ? 0 : 1, 0, 2}));
    QCOMPARE(yield.value("failures").toArray(),
             stopped ? QJsonArray()
                     : QJsonArray({QJsonObject{
                           {"step", step}, {"error", error}, {"count", 1}, {"share", 1}}}));

    const QJsonArray ledgerUnits = ledger({"units", "--batch", "pairs", "--ledger", url});
    QCOMPARE(ledgerUnits.size(), 2);
    const Json retried = ledgerUnits[0].toObject();
    QCOMPARE(retried.value("state").toString(), QStringLiteral("passed"));
    QCOMPARE(retried.value("pin").toString(), pin);
    QCOMPARE(retried.value("attempts").toInteger(), 2);
    const Json cut =
        ledger({"units", "--batch", "pairs", "--attempts", "--ledger", url})[0].toObject();
    QCOMPARE(cut.value("result").toString(), first.value("result").toString());
    QCOMPARE(cut.value("step").toString(), step);
    QCOMPARE(cut.value("error").toString(), error);
    QCOMPARE(cut.value("detail").toString(), first.value("detail").toString());
    QCOMPARE(cut.value("reason").toString(), first.value("error").toString());
    QCOMPARE(cut.value("written").toArray(), written);
    QCOMPARE(cut.value("sent").toArray(), sent);
    QCOMPARE(cut.value("read_back").toObject(), Json());
}
