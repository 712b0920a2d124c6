// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool against a misbehaving simulated adapter: a flood of garbage at every moment of
// its work, and a user clicking every button while a save runs.
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
constexpr long OwnGrowthBoundKiB = 320 * 1024;
constexpr long ResidentGrowthBoundKiB = OwnGrowthBoundKiB;
#else
// The first garbage in a field loads fallback fonts and the metrics of its glyphs once, about
// 2 MiB; later moments cost a few hundred KiB.
constexpr long OwnGrowthBoundKiB = 3 * 1024;
// Laying out garbage also touches pages all over the CJK font file, about 10 MiB: shared with
// other programs, dropped by the kernel at will, and never more than the font itself.
constexpr long ResidentGrowthBoundKiB = 16 * 1024;
#endif

// Resident memory in KiB: the process's own pages, and pages of mapped files.
struct Resident {
    long own = -1;
    long files = -1;
};

Resident resident() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression own(QStringLiteral("RssAnon:\\s+(\\d+)"));
    static const QRegularExpression files(QStringLiteral("RssFile:\\s+(\\d+)"));
    const QString text = QString::fromLatin1(status.readAll());
    return {own.match(text).captured(1).toLong(), files.match(text).captured(1).toLong()};
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
    void floodOfGarbageAtEveryMoment();
    void clickStormDuringASave();
};

void TestE2eRobustness::floodOfGarbageAtEveryMoment() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--flood", "10000000", "--initial-role", "1", "--quiet"}));
    // The flood starts half a second after "AT" and goes on as long as the tool has not taken all
    // of it in, which a bounded port does slowly: every moment below runs in it. Each operation
    // drowns, asks whether to go on, and still ends.
    struct Moment {
        const char *name;
        const char *button;  // none: the tool stays idle
        QString status;
    };
    const Moment moments[] = {
        {"connect and read", "Command1", QStringLiteral("参数读取结束！")},
        {"idle", nullptr, QString()},
        {"save", "Command3", QStringLiteral("参数保存结束！")},
        {"read", "Command2", QStringLiteral("参数读取结束！")},
    };
    for (const Moment &moment : moments) {
        const qsizetype questions =
            harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).size();
        const Resident before = resident();
        if (moment.button)
            harness.click(moment.button);
        else
            QTest::qWait(3000);
        const Resident after = resident();
        const long own = after.own - before.own;
        const long total = own + after.files - before.files;
        qInfo("%s: own memory grew by %ld KiB, resident memory by %ld KiB", moment.name, own,
              total);
        QVERIFY2(before.own > 0 && own < OwnGrowthBoundKiB, moment.name);
        QVERIFY2(total < ResidentGrowthBoundKiB, moment.name);
        if (!moment.button)
            continue;
        QCOMPARE(harness.status(), moment.status);
        QVERIFY2(
            harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).size() > questions,
            moment.name);
    }
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
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
