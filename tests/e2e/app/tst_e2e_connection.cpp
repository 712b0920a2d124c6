// SPDX-License-Identifier: GPL-3.0-or-later
// Connecting for real: the port class, a pseudo-terminal and the simulated adapter.
#include <sys/resource.h>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "e2eharness.h"
#include "patience.h"

using pairwick::fakes::ScriptedMessageBoxes;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class TestE2eConnection : public QObject {
    Q_OBJECT

private slots:
    void connectReadsEveryField();
    void adapterWithoutEchoTimesOut();
    void missingDeviceShowsThePlatformDescription();
    void portHeldByAnotherOpenerIsRefused();
    void adapterVanishingWhileIdle();
};

void TestE2eConnection::connectReadsEveryField() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--name-gb18030", "--initial-role", "1"}));
    // A double click: the second click lands during the probe, on a button that still reads
    // 连接, and must not end the connect.
    QTimer::singleShot(150, harness.form.get(), [&] { harness.click("Command1"); });
    harness.click("Command1");
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    QVERIFY(harness.boxes.shown().isEmpty());
    // A name an older tool stored in GB18030 still reads right.
    QCOMPARE(harness.text("Text2"), QStringLiteral("测试设备"));
    QCOMPARE(harness.text("Text3"), QStringLiteral("SIM-1.2.0"));
    QCOMPARE(harness.find<QComboBox>("Combo2")->currentText(), QStringLiteral("9600"));
    QCOMPARE(harness.find<QComboBox>("Combo3")->currentText(), QStringLiteral("None 无"));
    QCOMPARE(harness.find<QComboBox>("Combo4")->currentText(), QStringLiteral("1"));
    QCOMPARE(harness.text("Text4"), QStringLiteral("1234"));
    QCOMPARE(harness.text("Text5"), QStringLiteral("0A1B:2C:3D4E5F"));
    QCOMPARE(harness.text("Text6"), QStringLiteral("0000:00:000000"));
    QCOMPARE(harness.receivedLines(),
             QStringList({"AT", "AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                          "AT+MSGENABLE?", "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"}));
    // The clock has been running through the read.
    QTRY_VERIFY_WITH_TIMEOUT(harness.text("Text1").startsWith(QStringLiteral("已连接：0:00:")),
                             PatienceMs);
}

void TestE2eConnection::adapterWithoutEchoTimesOut() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--no-echo", "AT"}));
    harness.click("Command1");
    QCOMPARE(harness.boxes.texts(), QStringList({"连接蓝牙设备时通信超时！"}));
    QCOMPARE(harness.caption(), QStringLiteral("连接"));
    QCOMPARE(harness.status(), QStringLiteral("串口已关闭！"));
    QVERIFY(!harness.port.isOpen());
}

void TestE2eConnection::missingDeviceShowsThePlatformDescription() {
    E2eHarness harness;
    QVERIFY(QFile::link(harness.ports.filePath("missing"), harness.ports.filePath("com2")));
    harness.find<QComboBox>("Combo1")->setCurrentIndex(1);
    harness.click("Command1");
    const QStringList warnings = harness.boxes.texts(ScriptedMessageBoxes::Style::Warning);
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(QStringLiteral("No such file or directory")),
             qPrintable(warnings.first()));
    QVERIFY(warnings.first().contains(harness.ports.filePath("com2")));
    QCOMPARE(harness.caption(), QStringLiteral("连接"));
    QCOMPARE(harness.status(), QStringLiteral("准备"));
}

void TestE2eConnection::portHeldByAnotherOpenerIsRefused() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator());
    // Another program has the port: its lock stands while it lives, even for root.
    pairwick::link::CommPort other;
    other.open(1);
    harness.click("Command1");
    const QStringList warnings = harness.boxes.texts(ScriptedMessageBoxes::Style::Warning);
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(QStringLiteral("正被其他程序")),
             qPrintable(warnings.first()));
    QVERIFY2(warnings.first().contains(QStringLiteral("LCK..")), qPrintable(warnings.first()));
    QCOMPARE(harness.caption(), QStringLiteral("连接"));
    QVERIFY(!harness.port.isOpen());
    other.close();
    harness.boxes.clear();
    harness.click("Command1");
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
}

void TestE2eConnection::adapterVanishingWhileIdle() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--initial-role", "0"}));
    harness.click("Command1");
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
    harness.find<QLineEdit>("Text4")->setText(QStringLiteral("typed"));
    harness.simulator.sendSignal(SIGKILL);
    QVERIFY(harness.simulator.waitForEnd());
    QTRY_COMPARE_WITH_TIMEOUT(harness.caption(), QStringLiteral("连接"), PatienceMs);
    // The device is gone for good: no storm of errors burning the processor afterwards.
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    QVERIFY2(cpuSeconds() - cpuBefore < 0.5, "the closed port must not spin");
    const QStringList warnings = harness.boxes.texts(ScriptedMessageBoxes::Style::Warning);
    QCOMPARE(warnings.size(), 1);
    // The user is told that the adapter went away before the system's own words.
    QVERIFY2(
        warnings.first().startsWith(
            QStringLiteral("串口设备 %1 已断开或停止响应。\n").arg(harness.simulator.devicePath())),
        qPrintable(warnings.first()));
    QCOMPARE(harness.status(), QStringLiteral("串口已关闭！"));
    QCOMPARE(harness.text("Text1"), QStringLiteral("串口已关闭！"));
    QCOMPARE(harness.text("Text4"), QStringLiteral("typed"));
    QVERIFY(!harness.port.isOpen());
}

QTEST_MAIN(TestE2eConnection)
#include "tst_e2e_connection.moc"
