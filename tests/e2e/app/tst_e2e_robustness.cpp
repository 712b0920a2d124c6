// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool against a misbehaving simulated adapter: a flood of garbage, and a user clicking
// every button while a save runs.
#include <QAbstractButton>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "about/frmabout.h"
#include "e2eharness.h"

using pairwick::fakes::ScriptedMessageBoxes;

namespace {

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed memory in quarantine (256 MiB at most) before reusing it.
constexpr long GrowthBoundKiB = 320 * 1024;
#else
constexpr long GrowthBoundKiB = 32 * 1024;
#endif

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// Milliseconds of the day at which the simulator received each line, and the lines.
QList<std::pair<double, QString>> receivedWithTimes(E2eHarness &harness) {
    static const QRegularExpression line(QStringLiteral("^(\\d+):(\\d+):(\\d+)\\.(\\d+) <- (.*)$"));
    QList<std::pair<double, QString>> received;
    for (const QString &text : QString::fromUtf8(harness.simulator.standardOutput()).split(u'\n')) {
        const auto match = line.match(text);
        if (!match.hasMatch())
            continue;
        const double ms = ((match.captured(1).toDouble() * 60 + match.captured(2).toDouble()) * 60 +
                           match.captured(3).toDouble()) *
                              1000 +
                          match.captured(4).toDouble();
        received.append({ms, match.captured(5)});
    }
    return received;
}

}  // namespace

class TestE2eRobustness : public QObject {
    Q_OBJECT

private slots:
    void floodOfGarbageWhileReadingAndIdle();
    void clickStormDuringASave();
};

void TestE2eRobustness::floodOfGarbageWhileReadingAndIdle() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--flood", "10000000", "--initial-role", "1", "--quiet"}));
    const long before = residentKiB();
    harness.click("Command1");
    // The flood starts half a second after "AT": the read drowns in it, asks, and still ends.
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    QVERIFY(!harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).isEmpty());
    QTest::qWait(3000);
    harness.click("Command2");
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    const long growth = residentKiB() - before;
    qInfo("resident memory grew by %ld KiB under the flood", growth);
    QVERIFY2(growth < GrowthBoundKiB, qPrintable(QString::number(growth)));
    QVERIFY(harness.port.isOpen());
}

void TestE2eRobustness::clickStormDuringASave() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--initial-role", "1"}));
    harness.click("Command1");
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    QTimer storm;
    int clicks = 0;
    QObject::connect(&storm, &QTimer::timeout, [&harness, &clicks] {
        for (const char *button : {"Command2", "Command3", "Command4", "Command5"}) {
            harness.click(button);
            ++clicks;
        }
    });
    storm.start(50);
    harness.click("Command3");
    storm.stop();
    QCOMPARE(harness.status(), QStringLiteral("参数保存结束！"));
    QVERIFY(clicks > 100);
    const auto received = receivedWithTimes(harness);
    QStringList lines;
    for (const auto &[ms, line] : received)
        lines.append(line);
    QCOMPARE(lines.mid(9),
             QStringList({"AT+DEVICENAME=PairwickSim", "AT+UARTBAUDRATE=9600", "AT+UARTPARITY=N",
                          "AT+UARTSTOP=1", "AT+ROLE=1", "AT+MSGENABLE=1", "AT+PIN=1234",
                          "AT+BINDADDR0=0000:00:000000"}));
    // One line a second, never two at once.
    for (qsizetype i = 10; i < received.size(); ++i) {
        const double gap = received.at(i).first - received.at(i - 1).first;
        QVERIFY2(gap >= 990, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
    }
    if (auto *about = harness.form->aboutDialog())
        about->close();
}

QTEST_MAIN(TestE2eRobustness)
#include "tst_e2e_robustness.moc"
