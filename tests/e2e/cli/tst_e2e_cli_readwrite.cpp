// SPDX-License-Identifier: GPL-3.0-or-later
// What a read or a write finds, changes and reports on one adapter.
#include <QFile>
#include <QTest>

#include "tst_e2e_cli.h"

// read --json of one adapter is a profile for others; a second write finds nothing to change.
void TestE2eCli::profileClonesAnAdapter() {
    adapter("COM1", {"--initial-role", "1"});
    adapter("COM2");
    adapter("COM3");
    QCOMPARE(run({"write", "COM1", "--set", "name=Golden", "--set", "bind=0011:22:334455", "--set",
                  "parity=E", "--set", "messages=off", "--quiet"})
                 .status,
             0);
    const CliRun golden = run({"read", "COM1", "--json", "--quiet"});
    QCOMPARE(golden.status, 0);
    const QString profile = m_folder->filePath("golden.json");
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(golden.output);
    file.close();

    const CliRun cloned = run({"write", "COM2", "COM3", "--profile", profile, "--json", "--quiet"});
    QCOMPARE(cloned.status, 0);
    QJsonObject expected = portResult(golden, "COM1").value("settings").toObject();
    for (const QString port : {"COM2", "COM3"}) {
        QJsonObject settings = portResult(cloned, port).value("settings").toObject();
        QCOMPARE(settings, expected);
        QCOMPARE(portResult(cloned, port).value("unchanged").toArray(),
                 QJsonArray({"baud", "stop", "pin"}));
    }
    const qsizetype linesBefore = received("COM2").size();
    const CliRun again = run({"write", "COM2", "--profile", profile, "--json", "--quiet"});
    QCOMPARE(again.status, 0);
    QCOMPARE(portResult(again, "COM2").value("written").toArray(), QJsonArray());
    for (const QString &line : received("COM2").mid(linesBefore))
        QVERIFY2(!line.contains(u'='), qPrintable(line));
}

void TestE2eCli::completionFollowsTheLayout_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("keysRead");

    const QStringList all{"name", "version",  "baud", "parity", "stop",
                          "role", "messages", "pin",  "address"};
    QTest::newRow("a name that reads OK")
        << QStringList{} << QStringList{"--set", "name=OK"} << 0 << "OK" << all;
    QTest::newRow("a late tail, waited for")
        << QStringList{"--late-tail", "AT+VER?"} << QStringList{"--timeout", "2500"} << 0
        << "PairwickSim" << all;
    QTest::newRow("a late tail, too late") << QStringList{"--late-tail", "AT+VER?"} << QStringList{}
                                           << 1 << "read version" << QStringList{"name"};
    QTest::newRow("lower-case ok")
        << QStringList{"--lowercase-ok"} << QStringList{} << 1 << "probe" << QStringList{};
    QTest::newRow("no repeated command line")
        << QStringList{"--no-echo", "AT+PIN?"} << QStringList{} << 1 << "read pin"
        << all.mid(0, all.indexOf("pin"));
}

// A write, when there is something to set, or else a read; the outcome is the name read back or
// the step that failed. A port that failed part-way still reports what it read.
void TestE2eCli::completionFollowsTheLayout() {
    QFETCH(QStringList, switches);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, outcome);
    QFETCH(QStringList, keysRead);
    adapter("COM1", switches);
    const QString command = arguments.contains("--set") ? "write" : "read";
    const CliRun result = run(QStringList{command, "COM1", "--json", "--quiet"} + arguments);
    QCOMPARE(result.status, status);
    const QJsonObject port = portResult(result, "COM1");
    if (status == 0)
        QCOMPARE(port.value("settings").toObject().value("name").toString(), outcome);
    else
        QVERIFY2(port.value("error").toString().startsWith(outcome),
                 qPrintable(port.value("error").toString()));
    QCOMPARE(port.value("complete").toBool(), status == 0);
    QCOMPARE(port.value("settings").isNull(), keysRead.isEmpty());
    QStringList keys = port.value("settings").toObject().keys();
    keys.sort();
    keysRead.sort();
    QCOMPARE(keys, keysRead);
}
