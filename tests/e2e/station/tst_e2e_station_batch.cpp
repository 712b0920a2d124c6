// SPDX-License-Identifier: GPL-3.0-or-later
// A batch's rules, from the command line and from a station's file: numbers, fields and the
// label command's values as given, and rules it cannot keep refused before a unit hears a thing.
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "tst_e2e_station.h"

void TestE2eStation::batchThroughTwoSlots() {
    startUnits(2, {"--first-unit", "500"});
    const QString url = sqliteUrl();
    const QString labels = m_folder->filePath("labels.txt");
    auto run = station(
        {"COM1", "COM2", "--batch", "sensors", "--set", "name=Sensor-{seq:4}", "--set",
         "pin={random:6}", "--count", "5", "--ledger", url, "--station", "bench-1", "--on-pass",
         QStringLiteral("echo \"$PAIRWICK_SEQ $PAIRWICK_NAME $PAIRWICK_PIN $PAIRWICK_ADDRESS "
                        "$PAIRWICK_SLOT $PAIRWICK_STATION $PAIRWICK_BATCH\" >> '%1'")
             .arg(labels)});
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);

    QFile labelFile(labels);
    QVERIFY(labelFile.open(QIODevice::ReadOnly));
    const QStringList labelLines = QString::fromUtf8(labelFile.readAll()).trimmed().split(u'\n');
    QVERIFY2(run->units().size() == 5, run->errors().constData());
    QCOMPARE(labelLines.size(), run->units().size());
    QSet<QString> pins;
    for (const Json &unit : run->units()) {
        QCOMPARE(unit.value("result").toString(), QStringLiteral("passed"));
        const qint64 seq = unit.value("seq").toInteger();
        const Json settings = unit.value("settings").toObject();
        const QString name = QStringLiteral("Sensor-%1").arg(seq, 4, 10, QLatin1Char('0'));
        QCOMPARE(settings.value("name").toString(), name);
        const QString pin = settings.value("pin").toString();
        QVERIFY2(QRegularExpression("^\\d{6}$").match(pin).hasMatch(), qPrintable(pin));
        pins.insert(pin);
        QVERIFY(labelLines.contains(QStringList{QString::number(seq), name, pin,
                                                unit.value("address").toString(),
                                                unit.value("slot").toString(), "bench-1", "sensors"}
                                        .join(u' ')));
    }
    QVERIFY(pins.size() > 1);
    expectLedgerMatchesUnits(url, "sensors", run->units());
    const QJsonArray batches = ledger({"batches", "--ledger", url});
    QCOMPARE(batches.size(), 1);
    QCOMPARE(batches[0].toObject().value("passed").toInteger(), run->units().size());
}

// The file gives the slots and most values; the command line's count and name win over the file's.
void TestE2eStation::configFileAndCommandLine() {
    startUnits(2);
    const QString path = m_folder->filePath("line1.conf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "# line 1, both slots\n"
        "slot = COM1\n"
        "slot = COM2\n"
        "batch = configured\n"
        "set = name=Conf-{seq:3}\n"
        "set = pin=4321\n"
        "count = 9\n"
        "  station = bench-8   \n"
        "ledger = " +
        sqliteUrl().toUtf8() + "\n");
    file.close();
    auto run = station({"--config", path, "--count", "2", "--set", "name=Cli-{seq}"});
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QCOMPARE(run->units().size(), 2);
    QSet<QString> slotNames;
    for (const Json &unit : run->units()) {
        const Json settings = unit.value("settings").toObject();
        QCOMPARE(settings.value("name").toString(),
                 QStringLiteral("Cli-%1").arg(unit.value("seq").toInteger()));
        QCOMPARE(settings.value("pin").toString(), QStringLiteral("4321"));
        slotNames.insert(unit.value("slot").toString());
    }
    QCOMPARE(slotNames, (QSet<QString>{"COM1", "COM2"}));
    const QJsonArray units = ledger({"units", "--batch", "configured", "--ledger", sqliteUrl()});
    QCOMPARE(units.size(), 2);
    QCOMPARE(units[0].toObject().value("station").toString(), QStringLiteral("bench-8"));
}

void TestE2eStation::badRulesSendNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("config");  // a file that gives the slot and the batch instead
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray none;
    QTest::newRow("unknown field")
        << QStringList{"--set", "name=A-{serial}"} << none << 2 << "serial";
    QTest::newRow("name too long at the first number")
        << QStringList{"--set", "name=ABCDEFGHIJKLMNOPQRSTUVWXYZ-{seq:4}", "--first", "9990"}
        << none << 2 << "name";
    QTest::newRow("station name that clears the screen")
        << QStringList{"--set", "name=A", "--station", "bench\x1b[2J"} << none << 2
        << "--station takes no control characters: bench\\x1b[2J";
    QTest::newRow("no rules for a new batch") << QStringList{} << none << 2 << "give its rules";
    QTest::newRow("operator name of 65 characters")
        << QStringList{"--set", "name=A", "--operator", QString(65, u'o')} << none << 2
        << "--operator takes a name of up to 64 characters, not 65";
    QTest::newRow("operator name with a control character")
        << QStringList{"--set", "name=A", "--operator", "Ana\tLima"} << none << 2
        << "--operator takes no control characters: Ana\\tLima";
    QTest::newRow("no attempt allowed") << QStringList{"--set", "name=A", "--max-attempts", "0"}
                                        << none << 2 << "--max-attempts takes 1 to 1000, not 0";
    QTest::newRow("attempts beyond a thousand")
        << QStringList{"--set", "name=A", "--max-attempts", "1001"} << none << 2
        << "--max-attempts takes 1 to 1000, not 1001";
    QTest::newRow("config: a bad operator") << QStringList{}
                                            << "slot = COM1\nbatch = refused\nset = name=A\n"
                                               "operator = " +
                                                   QByteArray(65, 'o') + "\n"
                                            << 2 << "refused.conf:4: --operator";
    QTest::newRow("password in the URL")
        << QStringList{"--set", "name=A", "--ledger", "postgresql://u:secret@/db"} << none << 4
        << "pgpass";
    QTest::newRow("a ledger it may not write")
        << QStringList{"--set", "name=A", "--ledger", "sqlite:/proc/ledger.sqlite"} << none << 4
        << "ledger";
    QTest::newRow("no server on the socket")
        << QStringList{"--set", "name=A", "--ledger", "postgresql:///none?host=/nonexistent"}
        << none << 4 << "none";
    const QByteArray slot = "slot = COM1\nbatch = refused\nset = name=A\n";
    QTest::newRow("config: unknown key") << QStringList{} << slot + "slots = COM2\n"
                                         << 2 << "refused.conf:4: unknown key \"slots\"";
    QTest::newRow("config: a slot twice") << QStringList{} << slot + "# again\nslot = COM1\n"
                                          << 2 << "refused.conf:5: ";
    QTest::newRow("config: password in the URL")
        << QStringList{} << slot + "ledger = postgresql://u:secret@/db\n"
        << 4 << "refused.conf:4: ";
    QTest::newRow("config: a bad count") << QStringList{} << slot + "count = many\n"
                                         << 2 << "refused.conf:4: --count";
    QTest::newRow("config: larger than 1 MiB")
        << QStringList{} << slot + QByteArray(1024 * 1024, '#') << 2 << "larger than 1024 KiB";
}

void TestE2eStation::badRulesSendNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, config);
    QFETCH(int, status);
    QFETCH(QString, message);
    startUnits(1);
    QStringList all = QStringList{"COM1", "--batch", "refused"} + arguments;
    if (!config.isEmpty()) {
        QFile file(m_folder->filePath("refused.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config);
        all = arguments + QStringList{"--config", file.fileName()};
    }
    if (!arguments.contains("--ledger") && !config.contains("ledger ="))
        all << "--ledger" << sqliteUrl();
    auto run = station(all);
    QCOMPARE(run->finish(), status);
    QVERIFY2(run->errors().contains(message.toUtf8()), run->errors().constData());
    QVERIFY(!m_units->standardOutput().contains("<- "));
}
