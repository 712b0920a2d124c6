// SPDX-License-Identifier: GPL-3.0-or-later
// A master and a slave paired in one run, and what each holds when the pairing fails.
#include <QJsonDocument>
#include <QTest>

#include "tst_e2e_cli.h"

// Two adapters as they come from the factory: each gets only the set commands that differ, the
// master the slave's address exactly as the slave reports it, and both read back as a pair. A
// second pair without --pin gives the slave the master's PIN and finds nothing else to change.
void TestE2eCli::pairBindsMasterToSlave() {
    adapter("COM1", {}, 2);
    const CliRun paired =
        run({"pair", "COM1", "COM2", "--pin", "482193", "--set", "baud=19200", "--master-name",
             "Left", "--slave-name", "Right", "--json", "--quiet"});
    QCOMPARE(paired.status, 0);
    const QJsonObject read = portResult(run({"read", "COM2", "--json", "--quiet"}), "COM2");
    const QString address = read.value("settings").toObject().value("address").toString();
    QCOMPARE(address, "0A51:00:000002");
    QCOMPARE(setCommands("COM1"),
             QStringList({"AT+DEVICENAME=Left", "AT+UARTBAUDRATE=19200", "AT+ROLE=1",
                          "AT+PIN=482193", "AT+BINDADDR0=" + address}));
    QCOMPARE(setCommands("COM2"),
             QStringList({"AT+DEVICENAME=Right", "AT+UARTBAUDRATE=19200", "AT+PIN=482193"}));
    const QJsonObject pair =
        QJsonDocument::fromJson(paired.output).object().value("pair").toObject();
    QCOMPARE(pair.value("address").toString(), address);
    QCOMPARE(pair.value("pin").toString(), "482193");
    QVERIFY(pair.value("paired").toBool());

    const CliRun readBack = run({"read", "COM1", "COM2", "--json", "--quiet"});
    QCOMPARE(readBack.status, 0);
    const QJsonObject master = portResult(readBack, "COM1").value("settings").toObject();
    const QJsonObject slave = portResult(readBack, "COM2").value("settings").toObject();
    QCOMPARE(master.value("role").toString(), "master");
    QCOMPARE(master.value("bind").toString(), address);
    QCOMPARE(slave.value("role").toString(), "slave");
    QVERIFY(!slave.contains("bind"));
    for (const QJsonObject &settings : {master, slave}) {
        QCOMPARE(settings.value("pin").toString(), "482193");
        QCOMPARE(settings.value("baud").toString(), "19200");
    }
    QCOMPARE(master.value("name").toString(), "Left");
    QCOMPARE(slave.value("name").toString(), "Right");

    const qsizetype sentBefore = setCommands("COM1").size() + setCommands("COM2").size();
    const CliRun again = run({"pair", "COM1", "COM2", "--quiet"});
    QCOMPARE(again.status, 0);
    QVERIFY2(again.output.endsWith("COM1 (master) -> COM2 (slave) 0A51:00:000002, PIN 482193\n"),
             again.output.constData());
    QCOMPARE(setCommands("COM1").size() + setCommands("COM2").size(), sentBefore);
}

// The slave refuses its role while the master is written: the master's record holds what it
// was verified to hold, the slave's leaves out the role it may or may not have taken.
void TestE2eCli::pairFailureTellsWhatEachHolds() {
    adapter("COM1", {"--initial-role", "1", "--error-on", "AT+ROLE=0"}, 2);
    const CliRun result = run({"pair", "COM1", "COM2", "--pin", "1357", "--json", "--quiet"});
    QCOMPARE(result.status, 1);
    const QJsonObject master = portResult(result, "COM1");
    QVERIFY(master.value("ok").toBool());
    QVERIFY(master.value("complete").toBool());
    const QJsonObject held = master.value("settings").toObject();
    QCOMPARE(held.value("role").toString(), "master");
    QCOMPARE(held.value("bind").toString(), "0A51:00:000002");
    QCOMPARE(held.value("pin").toString(), "1357");

    const QJsonObject slave = portResult(result, "COM2");
    QVERIFY(!slave.value("ok").toBool());
    QVERIFY(!slave.value("complete").toBool());
    QVERIFY2(slave.value("error").toString().startsWith("write role=slave: the adapter answered"),
             qPrintable(slave.value("error").toString()));
    const QJsonObject slaveHeld = slave.value("settings").toObject();
    QVERIFY(!slaveHeld.contains("role"));
    // The PIN comes after the role, so the slave still has its own.
    QCOMPARE(slaveHeld.value("pin").toString(), "1234");
    QCOMPARE(setCommands("COM2"), QStringList{"AT+ROLE=0"});

    const QJsonObject pair =
        QJsonDocument::fromJson(result.output).object().value("pair").toObject();
    QVERIFY(!pair.value("paired").toBool());
    QVERIFY2(pair.value("error").toString().startsWith("COM2 (slave) failed"),
             qPrintable(pair.value("error").toString()));
}
