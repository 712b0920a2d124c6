// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line itself: line ends, noise, back-pressure, reopening, pacing and a second port.
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <chrono>
#include <csignal>

#include "tst_adaptersim.h"

using namespace std::chrono_literals;

namespace pairwick::adaptersim::test {

void TestAdapterSim::lineEndings_data() {
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QByteArray>("replies");

    const QByteArray probeReply = "AT\r\nOK\r\n";
    QTest::newRow("CR LF") << QByteArrayList{"AT\r\n"} << probeReply;
    QTest::newRow("bare LF") << QByteArrayList{"AT\n"} << probeReply;
    QTest::newRow("bare CR") << QByteArrayList{"AT\r"} << probeReply;
    QTest::newRow("CR and LF in separate writes") << QByteArrayList{"AT\r", "\n"} << probeReply;
    QTest::newRow("command in pieces")
        << QByteArrayList{"A", "T+VE", "R?\r\n"} << QByteArray("AT+VER?\r\nSIM-1.2.0\r\nOK\r\n");
    QTest::newRow("blank lines carry no command")
        << QByteArrayList{"\r\n\n\r\rAT\r\n"} << probeReply;
    QTest::newRow("two commands in one write")
        << QByteArrayList{"AT\r\nAT+ROLE?\r\n"} << probeReply + "AT+ROLE?\r\n0\r\nOK\r\n";
    QTest::newRow("LF then CR ends two lines")
        << QByteArrayList{"AT\n\rAT\r\n"} << probeReply + probeReply;
    const QByteArray longest(4096, 'A');
    QTest::newRow("line of 4096 bytes is a line")
        << QByteArrayList{longest + "\r\n"} << longest + "\r\nERROR\r\n";
    QTest::newRow("line of 4097 bytes is dropped")
        << QByteArrayList{longest + "A\r\nAT\r\n"} << probeReply;
    QTest::newRow("huge line is dropped")
        << QByteArrayList{QByteArray(200000, 'B'), "\r\nAT\r\n"} << probeReply;
}

void TestAdapterSim::lineEndings() {
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArray, replies);
    QVERIFY(startAndOpen({}));

    for (const QByteArray &bytes : writes) {
        QVERIFY(m_port.write(bytes));
        QTest::qWait(30);
    }
    QCOMPARE(m_port.readReply(), replies);
}

void TestAdapterSim::noiseNeverStopsTheAdapter() {
    QVERIFY(startAndOpen({"--quiet"}));
    QRandomGenerator random(20240607);
    for (int chunk = 0; chunk < 64; ++chunk) {
        QByteArray noise(4096, '\0');
        for (char &byte : noise) {
            byte = char(random.bounded(256));
        }
        QVERIFY(m_port.write(noise));
        m_port.readUntil([](const QByteArray &) { return false; }, 5ms);
    }
    QVERIFY(m_port.write("\r\n"));
    m_port.readReply();

    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    QVERIFY(m_simulator->isRunning());
}

void TestAdapterSim::unreadRepliesAreCapped() {
    QVERIFY(startAndOpen({"--quiet"}));
    constexpr int lines = 10000;
    // Far more than the simulator holds back for a reader that does not read.
    QVERIFY(m_port.write(QByteArray("AT+BINDADDR?\r\n").repeated(lines)));
    const QByteArray received = m_port.readReply(1000ms);

    const qsizetype replies = received.size() / factoryBindReply.size();
    QVERIFY(replies > 0);
    QVERIFY(replies < lines);
    QCOMPARE(received, factoryBindReply.repeated(replies));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
}

void TestAdapterSim::reopenedPortKeepsState() {
    QVERIFY(startAndOpen({}));
    QCOMPARE(m_port.exchange("AT+PIN=4321"), QByteArray("AT+PIN=4321\r\nOK\r\n"));
    for (int round = 0; round < 5; ++round) {
        m_port.close();
        QVERIFY(m_port.open(m_simulator->linkPath()));
        QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    }
    QCOMPARE(m_port.exchange("AT+PIN?"), QByteArray("AT+PIN?\r\n+PIN CODE: 4321\r\nOK\r\n"));
}

void TestAdapterSim::repliesTakeTheirTime_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<double>("leastMs");

    // A byte takes 10 bits on the line: at 9600 baud 960 bytes go in a second.
    const auto lineMs = [](const Exchange &exchange, double baud) {
        return double(exchange.reply.size()) * 10'000 / baud;
    };
    const Exchange bind{"AT+BINDADDR?", factoryBindReply};
    const Exchange probe = accepted("AT");
    QTest::newRow("reply delay") << QStringList{"--reply-delay", "300"} << probe << 300.0;
    QTest::newRow("9600 baud") << QStringList{"--reply-delay", "0", "--line-rate", "9600"} << bind
                               << lineMs(bind, 9600);
    QTest::newRow("1200 baud") << QStringList{"--reply-delay", "0", "--line-rate", "1200"} << probe
                               << lineMs(probe, 1200);
    QTest::newRow("delay and line add up")
        << QStringList{"--reply-delay", "200", "--line-rate", "4800"} << bind
        << 200 + lineMs(bind, 4800);
}

void TestAdapterSim::repliesTakeTheirTime() {
    QFETCH(QStringList, arguments);
    QFETCH(Exchange, exchange);
    QFETCH(double, leastMs);
    QVERIFY(startAndOpen(arguments));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_port.write(exchange.command + "\r\n"));
    const QByteArray reply = m_port.readUntil(
        [&](const QByteArray &bytes) { return bytes.size() >= exchange.reply.size(); }, 5000ms);
    const qint64 elapsedMs = clock.elapsed();
    QCOMPARE(reply, exchange.reply);
    // Measured loosely: only a lower bound, and a fifth of slack for timer granularity.
    QVERIFY2(elapsedMs >= 0.8 * leastMs, qPrintable(QString::number(elapsedMs)));
}

void TestAdapterSim::twoAdaptersAreIndependent() {
    QVERIFY(m_simulator->start(inFolder({"--port", "COM3", "--adapters", "2"}), 2));
    QCOMPARE(m_simulator->linkPath(0), m_folder->filePath(QStringLiteral("com3")));
    QCOMPARE(m_simulator->linkPath(1), m_folder->filePath(QStringLiteral("com4")));
    QVERIFY(m_simulator->devicePath(0) != m_simulator->devicePath(1));
    RawPort second;
    QVERIFY(m_port.open(m_simulator->linkPath(0)));
    QVERIFY(second.open(m_simulator->linkPath(1)));

    QCOMPARE(m_port.exchange("AT+PIN=4321"), QByteArray("AT+PIN=4321\r\nOK\r\n"));
    QCOMPARE(second.exchange("AT+ROLE=1"), QByteArray("AT+ROLE=1\r\nOK\r\n"));
    QCOMPARE(second.exchange("AT+PIN?"), QByteArray("AT+PIN?\r\n+PIN CODE: 1234\r\nOK\r\n"));
    QCOMPARE(m_port.exchange("AT+ROLE?"), QByteArray("AT+ROLE?\r\n0\r\nOK\r\n"));
    // Two devices, two addresses, each telling its port.
    QCOMPARE(second.exchange("AT+ADDR?"),
             QByteArray("AT+ADDR?\r\n+LOCALADDR:0A51:00:000004\r\nOK\r\n"));
    QVERIFY(m_simulator->sendSignal(SIGTERM));
    QVERIFY(m_simulator->waitForEnd());

    const QStringList lines = logged(m_simulator->standardOutput(), QString());
    for (const char *line : {"COM3 <- AT+PIN=4321", "COM3 state pin=4321", "COM4 <- AT+ROLE=1",
                             "COM4 state role=1", "COM4 <- AT+PIN?", "COM3 <- AT+ROLE?"}) {
        QVERIFY2(lines.contains(QLatin1String(line)), line);
    }
    QVERIFY(isLinkGone(m_simulator->linkPath(0)));
    QVERIFY(isLinkGone(m_simulator->linkPath(1)));
}

}  // namespace pairwick::adaptersim::test
