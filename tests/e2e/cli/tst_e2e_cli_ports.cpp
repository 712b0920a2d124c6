// SPDX-License-Identifier: GPL-3.0-or-later
// Several ports in one run: each is listed, written and failed on its own.
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <map>

#include "patience.h"
#include "tst_e2e_cli.h"

// A mapped pseudo-terminal opens and has no name under /dev/serial; an unmapped port is absent.
void TestE2eCli::portsListsEveryName() {
    adapter("COM1");
    const CliRun result = run({"ports", "--json"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.ports.size(), 16);
    const QJsonObject mapped = portResult(result, "COM1");
    QCOMPARE(mapped.value("device").toString(),
             QFileInfo(m_folder->filePath("com1")).canonicalFilePath());
    QVERIFY(mapped.value("opens").toBool());
    for (const QString key : {"stable", "path", "problem"})
        QVERIFY2(mapped.contains(key) && mapped.value(key).isNull(), qPrintable(key));
    const CliRun table = run({"ports"});
    QVERIFY2(table.output.startsWith("PORT ") && table.output.contains("  BY-PATH  "),
             table.output.constData());
}

// One adapter vanishes in the middle of the write, one reports a token no table holds, one port
// does not exist: the fine adapter is still written and verified, and the status says which
// failure is worst.
void TestE2eCli::portsFailIndependently() {
    adapter("COM1");
    adapter("COM2", {"--vanish-on", "AT+UARTBAUDRATE=115200"});
    adapter("COM3", {"--wrong-token", "AT+UART?"});
    const QString log = m_folder->filePath("traffic.log");
    const CliRun result = run({"write", "COM1", "COM2", "COM3", "COM9", "--set", "baud=115200",
                               "--set", "name=Unit 7", "--json", "--quiet", "--log", log});
    QCOMPARE(result.status, 3);
    // The log holds, port by port, exactly the lines each adapter received.
    QFile traffic(log);
    QVERIFY(traffic.open(QIODevice::ReadOnly));
    std::map<QString, QStringList> sent;
    for (const QString &line : QString::fromUtf8(traffic.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u' ');
        if (fields.size() >= 4 && fields[2] == u"->")
            sent[fields[1]].append(line.section(u' ', 3).chopped(4));
    }
    for (const QString port : {"COM1", "COM2", "COM3"})
        QCOMPARE(sent[port], received(port));

    const QJsonObject fine = portResult(result, "COM1");
    QVERIFY(fine.value("ok").toBool());
    QCOMPARE(fine.value("written").toArray(), QJsonArray({"name", "baud"}));
    QCOMPARE(fine.value("settings").toObject().value("baud").toString(), "115200");
    QCOMPARE(fine.value("settings").toObject().value("name").toString(), "Unit 7");

    const QJsonObject vanished = portResult(result, "COM2");
    QVERIFY(!vanished.value("ok").toBool());
    QVERIFY2(vanished.value("error").toString().startsWith("write baud=115200"),
             qPrintable(vanished.value("error").toString()));
    // The name was written and the baud rate may have been: only the values left alone remain.
    const QJsonObject held = vanished.value("settings").toObject();
    QVERIFY(!held.contains("name") && !held.contains("baud") && held.contains("pin"));
    QVERIFY(!vanished.value("complete").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(received("COM2").contains("AT+UARTBAUDRATE=115200"), PatienceMs);
    QCOMPARE(received("COM2").constLast(), "AT+UARTBAUDRATE=115200");

    const QJsonObject wrong = portResult(result, "COM3");
    QVERIFY(!wrong.value("ok").toBool());
    QVERIFY2(wrong.value("error").toString().startsWith("read baud, parity, stop"),
             qPrintable(wrong.value("error").toString()));
    QVERIFY(!received("COM3").contains("AT+DEVICENAME=Unit 7"));

    const QJsonObject missing = portResult(result, "COM9");
    QVERIFY(!missing.value("ok").toBool());
    QVERIFY(!missing.value("error").toString().isEmpty());
}

// A port that will not open says so at once, while a slow adapter beside it is still being read;
// each line counts the port's steps, those of a write as planned until the adapter was read: two
// keys, of which one differs.
void TestE2eCli::failedOpenIsToldAtOnce() {
    adapter("COM1", {"--reply-delay", "200"});
    const CliRun result = run({"write", "COM1", "COM9", "--set", "name=Slow", "--set", "pin=1234"});
    QCOMPARE(result.status, 3);
    const QStringList lines = QString::fromUtf8(result.errors).split(u'\n');
    const qsizetype failed = lines.indexOf(QRegularExpression("COM9: 0/20 FAILED: .*"));
    const qsizetype reading = lines.indexOf(QRegularExpression("COM1: [2-9]/20 read .*"));
    QVERIFY2(failed >= 0 && reading > failed, result.errors.constData());
    // Open, probe, seven reads, the name, seven reads back: a slave has no bound address read.
    QVERIFY2(lines.contains("COM1: 9/17 write name=Slow") && lines.contains("COM1: 17/17 done"),
             result.errors.constData());
}
