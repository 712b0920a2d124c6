// SPDX-License-Identifier: GPL-3.0-or-later
// Units that come and go on a port, as on a production line.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <chrono>

#include "patience.h"
#include "tst_adaptersim.h"

using namespace std::chrono_literals;

namespace pairwick::adaptersim::test {

void TestAdapterSim::unitAddresses_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("adapter");
    // "SERIAL ADDRESS" of the port's first two units.
    QTest::addColumn<QStringList>("units");

    QTest::newRow("COM3 from unit 1")
        << QStringList{} << 0 << QStringList{"1 0A51:00:000001", "3 0A51:00:000003"};
    QTest::newRow("COM4 from unit 1")
        << QStringList{} << 1 << QStringList{"2 0A51:00:000002", "4 0A51:00:000004"};
    QTest::newRow("COM4 from unit 5000")
        << QStringList{"--first-unit", "5000"} << 1
        << QStringList{"5001 0A51:00:005001", "5003 0A51:00:005003"};
    QTest::newRow("COM3 from unit 12345678 on a paced line")
        << QStringList{"--first-unit", "12345678", "--line-rate", "9600"} << 0
        << QStringList{"12345678 0A51:12:345678", "12345680 0A51:12:345680"};
}

void TestAdapterSim::unitAddresses() {
    QFETCH(QStringList, arguments);
    QFETCH(int, adapter);
    QFETCH(QStringList, units);
    QVERIFY(m_simulator->start(inFolder(QStringList{"--units", "--port", "COM3", "--adapters", "2",
                                                    "--unit-settle", "50"} +
                                        arguments),
                               2));
    const QString port = QStringLiteral("COM%1").arg(3 + adapter);

    for (qsizetype unit = 0; unit < units.size(); ++unit) {
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), port + " unit in ").size(),
                                  unit + 1, PatienceMs);
        QCOMPARE(logged(m_simulator->standardOutput(), port + " unit in ").constLast(),
                 units[unit]);
        const QByteArray address = units[unit].section(QLatin1Char(' '), 1).toLatin1();
        QVERIFY(m_port.open(m_simulator->linkPath(adapter)));
        // The address is the unit's own: a factory reset keeps it.
        runScript({answered("AT+ADDR?", "+LOCALADDR:" + address), accepted("AT+DEFAULT"),
                   answered("AT+ADDR?", "+LOCALADDR:" + address)});
        m_port.close();
        QVERIFY(m_simulator->command("next " + port.toLatin1()));
    }
}

void TestAdapterSim::nextBringsAFreshUnit() {
    constexpr int settleMs = 400;
    QVERIFY(startAndOpen({"--units", "--unit-settle", QString::number(settleMs)}));
    const QString link = m_simulator->linkPath();
    runScript({accepted("AT+PIN=4321")});

    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_simulator->command("next COM1"));
    QVERIFY(m_port.hungUp(500ms));
    // Between two units the link points at nothing, as after the vanish fault.
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));
    QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "unit in ").size(), 2,
                              PatienceMs);
    QVERIFY2(clock.elapsed() >= 0.8 * settleMs, qPrintable(QString::number(clock.elapsed())));

    QVERIFY(m_port.open(link));
    runScript({answered("AT+PIN?", "+PIN CODE: 1234"),
               answered("AT+ADDR?", "+LOCALADDR:0A51:00:000002"), accepted("AT+ROLE=1")});
    QCOMPARE(logged(m_simulator->standardOutput(), QString())
                 .filter(QRegularExpression("^unit |^state ")),
             (QStringList{"unit in 1 0A51:00:000001", "state pin=4321", "unit out 1",
                          "unit in 2 0A51:00:000002", "state role=1"}));
}

void TestAdapterSim::unitControlLines_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("lines");
    // The unit lines of the log, without time stamp and "unit ".
    QTest::addColumn<QStringList>("unitLog");
    QTest::addColumn<int>("ignored");
    // Empty when the port must not open or not answer.
    QTest::addColumn<QByteArray>("probeReply");

    const QString first = QStringLiteral("in 1 0A51:00:000001");
    const QString second = QStringLiteral("in 2 0A51:00:000002");
    const QByteArray answer = "AT\r\nOK\r\n";
    QTest::newRow("out, in") << QStringList{} << QByteArrayList{"out COM1", "in COM1"}
                             << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("out leaves the port empty") << QStringList{} << QByteArrayList{"out COM1"}
                                               << QStringList{first, "out 1"} << 0 << QByteArray();
    QTest::newRow("out, in, by-path link as udev's")
        << QStringList{"--unplug", "udev"} << QByteArrayList{"out COM1", "in COM1"}
        << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("out takes the by-path link as udev does")
        << QStringList{"--unplug", "udev"} << QByteArrayList{"out COM1"}
        << QStringList{first, "out 1"} << 0 << QByteArray();
    QTest::newRow("out while the next unit is on its way")
        << QStringList{} << QByteArrayList{"next COM1", "out COM1"} << QStringList{first, "out 1"}
        << 0 << QByteArray();
    QTest::newRow("in while the next unit is on its way")
        << QStringList{} << QByteArrayList{"next COM1", "in COM1"}
        << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("start empty, in") << QStringList{"--start-empty"} << QByteArrayList{"in COM1"}
                                     << QStringList{first} << 0 << answer;
    QTest::newRow("nothing to take out or mute when empty")
        << QStringList{"--start-empty"} << QByteArrayList{"out COM1", "mute COM1", "unmute COM1"}
        << QStringList{} << 3 << QByteArray();
    QTest::newRow("mute") << QStringList{} << QByteArrayList{"mute COM1"}
                          << QStringList{first, "mute 1"} << 0 << QByteArray();
    QTest::newRow("mute, unmute") << QStringList{} << QByteArrayList{"mute COM1", "unmute COM1"}
                                  << QStringList{first, "mute 1", "unmute 1"} << 0 << answer;
    QTest::newRow("the next unit answers though the last was muted")
        << QStringList{} << QByteArrayList{"mute COM1", "mute COM1", "out COM1", "in COM1"}
        << QStringList{first, "mute 1", "out 1", second} << 1 << answer;
    QTest::newRow("bad lines")
        << QStringList{} << QByteArrayList{"hop COM1",      "next",      "next LPT1",
                                           "out COM2",      "in COM1",   "unmute COM1",
                                           "mute COM1 now", "NEXT COM1", QByteArray(5000, 'x'),
                                           "\xFF next COM1"}
        << QStringList{first} << 10 << answer;
    QTest::newRow("chaos draws for the new unit")
        << QStringList{"--chaos", "7", "--chaos-rate", "1", "--chaos-faults", "lowercase-ok"}
        << QByteArrayList{"next COM1"} << QStringList{first, "out 1", second} << 0
        << QByteArray("AT\r\nok\r\n");
}

void TestAdapterSim::unitControlLines() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, lines);
    QFETCH(QStringList, unitLog);
    QFETCH(int, ignored);
    QFETCH(QByteArray, probeReply);
    QVERIFY(
        m_simulator->start(inFolder(QStringList{"--units", "--unit-settle", "100"} + arguments)));
    for (const QByteArray &line : lines) {
        QVERIFY(m_simulator->command(line));
    }
    // The end of the control lines changes nothing.
    m_simulator->endInput();

    const auto ignoredLines = [&] {
        return m_simulator->standardError().count("pairwick-adapter-sim: control line ignored: ");
    };
    QTRY_COMPARE_WITH_TIMEOUT(ignoredLines(), qsizetype(ignored), PatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "unit "), unitLog, PatienceMs);
    // Long enough for a unit on its way to have come in.
    QTest::qWait(200);
    QCOMPARE(logged(m_simulator->standardOutput(), "unit "), unitLog);
    const bool opened = m_port.open(m_simulator->linkPath());
    QCOMPARE(opened ? m_port.exchange("AT") : QByteArray(), probeReply);
    QVERIFY(m_simulator->isRunning());
}

}  // namespace pairwick::adaptersim::test
