// SPDX-License-Identifier: GPL-3.0-or-later
// The faults the simulator plays on purpose, and how it ends.
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "patience.h"
#include "tst_adaptersim.h"

using namespace std::chrono_literals;

namespace pairwick::adaptersim::test {

void TestAdapterSim::garbageReply() {
    QVERIFY(startAndOpen({"--garbage", "AT+VER?"}));

    const QByteArray reply = m_port.exchange("AT+VER?");
    QCOMPARE(reply.size(), 16);
    QVERIFY(std::all_of(reply.begin(), reply.end(),
                        [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; }));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
}

void TestAdapterSim::lateTail() {
    QVERIFY(startAndOpen({"--late-tail", "AT+VER?"}));

    QCOMPARE(m_port.exchange("AT+VER?"), QByteArray("AT+VER?\r\nSIM-1.2.0\r\n"));
    QCOMPARE(m_port.readReply(800ms), QByteArray());
    QCOMPARE(m_port.readReply(1500ms), QByteArray("OK\r\n"));
}

void TestAdapterSim::floodKeepsAnswering() {
    constexpr qsizetype floodBytes = 4 << 20;
    QVERIFY(startAndOpen({"--flood", QString::number(floodBytes)}));
    const auto isNoise = [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; };
    const auto noiseIn = [&](const QByteArray &bytes) {
        return std::count_if(bytes.begin(), bytes.end(), isNoise);
    };

    // The flood begins only after the first line.
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    QByteArray stream =
        m_port.readUntil([](const QByteArray &bytes) { return !bytes.isEmpty(); }, 2000ms);
    QVERIFY(!stream.isEmpty());

    const QByteArray reply = "AT+VER?\r\nSIM-1.2.0\r\nOK\r\n";
    QVERIFY(m_port.write("AT+VER?\r\n"));
    // Counted as the bytes come in: rescanning megabytes on every read would crawl.
    qsizetype scanned = 0;
    qsizetype noise = noiseIn(stream);
    bool replySeen = false;
    stream += m_port.readUntil(
        [&](const QByteArray &bytes) {
            noise += std::count_if(bytes.begin() + scanned, bytes.end(), isNoise);
            replySeen = replySeen ||
                        bytes.indexOf(reply, std::max<qsizetype>(0, scanned - reply.size())) >= 0;
            scanned = bytes.size();
            return noise == floodBytes && replySeen;
        },
        10000ms);

    QCOMPARE(noiseIn(stream), floodBytes);
    const qsizetype replyAt = stream.indexOf(reply);
    QVERIFY(replyAt > 0);
    QVERIFY(replyAt + reply.size() < stream.size());
    QByteArray answers = stream;
    answers.removeIf(isNoise);
    QCOMPARE(answers, reply);
}

void TestAdapterSim::vanishOn() {
    QVERIFY(startAndOpen({"--vanish-on", "AT+ROLE?"}));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));

    QVERIFY(m_port.write("AT+ROLE?\r\n"));
    QVERIFY(m_simulator->waitForEnd());
    QVERIFY(m_simulator->exitedNormally());
    QCOMPARE(m_simulator->exitCode(), 0);
    QVERIFY(isLinkGone(m_simulator->linkPath()));
    QCOMPARE(m_port.readReply(), QByteArray());
    QVERIFY(m_port.hungUp(500ms));
}

void TestAdapterSim::terminationSignal_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestAdapterSim::terminationSignal() {
    QFETCH(int, signalNumber);
    QVERIFY(startAndOpen({}));
    QCOMPARE(QFileInfo(m_simulator->linkPath()).symLinkTarget(), m_simulator->devicePath());
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));

    QVERIFY(m_simulator->sendSignal(signalNumber));
    QVERIFY(m_simulator->waitForEnd());
    QVERIFY(m_simulator->exitedNormally());
    QCOMPARE(m_simulator->exitCode(), 0);
    QVERIFY(isLinkGone(m_simulator->linkPath()));
}

void TestAdapterSim::chaosReplaysForTheSameSeed() {
    QByteArray commands;
    for (int round = 0; round < 4; ++round) {
        for (const Exchange &step : factoryQueries) {
            commands += step.command + "\r\nAT+PIN=42\r\n";
        }
    }
    QStringList firstRun;
    for (int run = 0; run < 2; ++run) {
        cleanup();
        init();
        // Vanishing would drop the lines after it; it has a test of its own.
        QVERIFY(startAndOpen({"--chaos", "20240607", "--chaos-rate", "0.3", "--chaos-faults",
                              "silent,lowercase-ok,no-echo,late-tail,wrong-token,garbage,"
                              "noise-burst"}));
        // All lines at once, so no timing can come between the seed and the faults.
        QVERIFY(m_port.write(commands));
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "<- ").size(), 64,
                                  PatienceMs);
        const QStringList faults = logged(m_simulator->standardOutput(), "chaos ");
        if (run == 0) {
            QVERIFY(faults.size() >= 3);
            firstRun = faults;
        } else {
            QCOMPARE(faults, firstRun);
        }
    }
}

void TestAdapterSim::chaosVanishingComesBackUnderTheSameLink() {
    QVERIFY(startAndOpen({"--chaos", "3", "--chaos-rate", "0.5", "--chaos-faults", "vanish"}));
    const QString link = m_simulator->linkPath();
    // Each line is either answered as usual or makes the adapter vanish and return.
    const Script script{accepted("AT+PIN=4321"), answered("AT+PIN?", "+PIN CODE: 4321")};
    int answered = 0;
    int vanished = 0;
    for (int attempt = 0; attempt < 20 && (vanished == 0 || answered < 3); ++attempt) {
        const Exchange &step = script[std::min(answered, 1)];
        const QByteArray reply = m_port.exchange(step.command);
        if (!reply.isEmpty()) {
            QCOMPARE(reply, step.reply);
            ++answered;
            continue;
        }
        ++vanished;
        QVERIFY(m_port.hungUp(500ms));
        // While away the link stays, pointing at nothing, as a user's link to an unplugged
        // device does: the tool must not fall back to the port map's default device.
        if (logged(m_simulator->standardOutput(), "returned ").size() < vanished) {
            QVERIFY(QFileInfo(link).isSymLink());
            QVERIFY(!QFileInfo::exists(link));
        }
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "returned ").size(),
                                  vanished, PatienceMs);
        const QString returned = logged(m_simulator->standardOutput(), "returned ").constLast();
        QCOMPARE(returned, QStringLiteral("%1 -> %2").arg(link, QFileInfo(link).symLinkTarget()));
        QVERIFY(m_port.open(link));
    }
    QVERIFY(vanished > 0);
    QVERIFY(answered >= 3);
}

}  // namespace pairwick::adaptersim::test
