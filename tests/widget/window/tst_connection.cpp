// SPDX-License-Identifier: GPL-3.0-or-later
// Connect, disconnect, the probe and the link clock, seen through the window.
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include "windowharness.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

namespace {

const QString Cyan = QStringLiteral("#00ffff");

QString caption(const WindowHarness &harness) {
    return harness.find<QPushButton>("Command1")->text();
}

QLineEdit *text1(const WindowHarness &harness) {
    return harness.find<QLineEdit>("Text1");
}

QTimer *timer1(const WindowHarness &harness) {
    return harness.form->findChild<QTimer *>(QStringLiteral("Timer1"));
}

QColor background(const QLineEdit *box) {
    return box->palette().color(QPalette::Base);
}

QColor buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

}  // namespace

class TestConnection : public QObject {
    Q_OBJECT

private slots:
    void connectOpensTheSelectedPort_data();
    void connectOpensTheSelectedPort();
    void successfulConnectReadsParameters();
    void staleInputIsDroppedBeforeTheProbe();
    void probeReplies_data();
    void probeReplies();
    void portThatCannotOpen();
    void disconnectClosesAndClears();
    void clockText_data();
    void clockText();
    void clockWaitsForFirstTickAndStopsShowingAfterDisconnect();
    void secondConnectionRestartsTheClock();
    void deviceLeavingWhileIdle();
    void reconnectAfterTheDeviceCameBack();
    void portTooltipNamesTheDevice();
};

void TestConnection::connectOpensTheSelectedPort_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("number");
    QTest::newRow("COM1") << "COM1" << 1;
    QTest::newRow("COM12") << "COM12" << 12;
    QTest::newRow("COM16") << "COM16" << 16;
}

void TestConnection::connectOpensTheSelectedPort() {
    QFETCH(QString, entry);
    QFETCH(int, number);
    WindowHarness harness;
    harness.find<QComboBox>("Combo1")->setCurrentText(entry);
    harness.click("Command1");
    QCOMPARE(harness.port.openedPortNumber(), number);
    QCOMPARE(caption(harness), QStringLiteral("断开"));
}

void TestConnection::successfulConnectReadsParameters() {
    WindowHarness harness;
    harness.click("Command1");
    QCOMPARE(harness.port.writtenLines(),
             QStringList({"AT", "AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                          "AT+MSGENABLE?", "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"}));
    QCOMPARE(harness.statuses.mid(0, 3),
             QStringList({"串口已打开！", "连接成功！", "正在读取蓝牙参数......"}));
    QCOMPARE(harness.statuses.last(), QStringLiteral("参数读取结束！"));
    QVERIFY(harness.boxes.shown().isEmpty());
    QVERIFY(timer1(harness)->isActive());
    QCOMPARE(harness.find<QLineEdit>("Text2")->text(), harness.adapter.name);
    // One discard before the probe, one before the first query.
    QCOMPARE(harness.port.discardCount(), 2);
}

void TestConnection::staleInputIsDroppedBeforeTheProbe() {
    WindowHarness harness;
    // Leftovers would push "OK" away from positions 5 and 6.
    harness.port.receive(QStringLiteral("xx\r\n"));
    harness.click("Command1");
    QCOMPARE(caption(harness), QStringLiteral("断开"));
}

void TestConnection::probeReplies_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("passes");
    QTest::newRow("echo and OK") << "AT\r\nOK\r\n" << true;
    QTest::newRow("anything after position 6") << "AT\r\nOKAY, and more" << true;
    QTest::newRow("OK without the echo") << "OK\r\n" << false;
    QTest::newRow("lower-case ok") << "AT\r\nok\r\n" << false;
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("five characters") << "AT\r\nO" << false;
    QTest::newRow("error") << "AT\r\nERROR\r\n" << false;
}

void TestConnection::probeReplies() {
    QFETCH(QString, reply);
    QFETCH(bool, passes);
    WindowHarness harness;
    harness.adapter.replyTo(QStringLiteral("AT"), reply);
    const QString text1Before = text1(harness)->text();
    harness.click("Command1");
    if (passes) {
        QCOMPARE(caption(harness), QStringLiteral("断开"));
        QVERIFY(harness.port.isOpen());
        return;
    }
    QCOMPARE(harness.statuses,
             QStringList({"串口已打开！", "连接蓝牙设备时通信超时！", "串口已关闭！"}));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"连接蓝牙设备时通信超时！"}));
    QCOMPARE(harness.boxes.shown().size(), 1);
    QVERIFY(!harness.port.isOpen());
    QCOMPARE(caption(harness), QStringLiteral("连接"));
    QCOMPARE(text1(harness)->text(), text1Before);
    QVERIFY(!timer1(harness)->isActive());
    QCOMPARE(harness.port.writtenLines(), QStringList({"AT"}));
}

void TestConnection::portThatCannotOpen() {
    WindowHarness harness;
    harness.port.failOpen(QStringLiteral("No such file or directory"));
    harness.click("Command1");
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"No such file or directory\n/dev/fake1"}));
    QCOMPARE(caption(harness), QStringLiteral("连接"));
    QVERIFY(harness.statuses.isEmpty());
    QVERIFY(!harness.port.isOpen());
    QVERIFY(harness.port.written().isEmpty());
}

void TestConnection::disconnectClosesAndClears() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.tickLinkClock();
    harness.click("Command1");
    QVERIFY(!harness.port.isOpen());
    QCOMPARE(caption(harness), QStringLiteral("连接"));
    QCOMPARE(text1(harness)->text(), QStringLiteral("串口已关闭！"));
    QCOMPARE(background(text1(harness)), buttonFace());
    QCOMPARE(harness.statuses, QStringList({"串口已关闭！"}));
    QVERIFY(harness.find<QLineEdit>("Text2")->text().isEmpty());
    QVERIFY(timer1(harness)->isActive());
    QCOMPARE(harness.port.written().size(), 9);
}

void TestConnection::clockText_data() {
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<QString>("text");
    QTest::newRow("five seconds") << qint64(5) << "已连接：0:00:05";
    QTest::newRow("an hour less a second") << qint64(3599) << "已连接：0:59:59";
    QTest::newRow("a day less a second") << qint64(86399) << "已连接：23:59:59";
    QTest::newRow("a day") << qint64(86400) << "已连接：24:00:00";
    QTest::newRow("27 hours") << qint64(27 * 3600 + 3 * 60 + 10) << "已连接：27:03:10";
}

void TestConnection::clockText() {
    QFETCH(qint64, elapsed);
    QFETCH(QString, text);
    WindowHarness harness;
    harness.connectAdapter();
    harness.clock.advance(elapsed);
    harness.tickLinkClock();
    QCOMPARE(text1(harness)->text(), text);
    QCOMPARE(background(text1(harness)).name(), Cyan);
}

void TestConnection::clockWaitsForFirstTickAndStopsShowingAfterDisconnect() {
    WindowHarness harness;
    harness.connectAdapter();
    QCOMPARE(text1(harness)->text(), QStringLiteral("串口已关闭！"));
    harness.click("Command1");
    harness.clock.advance(10);
    harness.tickLinkClock();
    QCOMPARE(text1(harness)->text(), QStringLiteral("串口已关闭！"));
    QCOMPARE(background(text1(harness)), buttonFace());
}

void TestConnection::secondConnectionRestartsTheClock() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.clock.advance(100);
    harness.click("Command1");
    harness.clock.advance(50);
    harness.click("Command1");
    harness.clock.advance(2);
    harness.tickLinkClock();
    QCOMPARE(text1(harness)->text(), QStringLiteral("已连接：0:00:02"));
}

void TestConnection::deviceLeavingWhileIdle() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.find<QLineEdit>("Text4")->setText(QStringLiteral("9999"));
    harness.tickLinkClock();
    harness.port.vanish(QStringLiteral("Input/output error"));
    QVERIFY(!harness.port.isOpen());
    QCOMPARE(caption(harness), QStringLiteral("连接"));
    QCOMPARE(text1(harness)->text(), QStringLiteral("串口已关闭！"));
    QCOMPARE(background(text1(harness)), buttonFace());
    QCOMPARE(harness.statuses, QStringList({"串口已关闭！"}));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    // What the user typed stays.
    QCOMPARE(harness.find<QLineEdit>("Text4")->text(), QStringLiteral("9999"));
    QCOMPARE(harness.find<QLineEdit>("Text2")->text(), harness.adapter.name);
    harness.tickLinkClock();
    QCOMPARE(text1(harness)->text(), QStringLiteral("串口已关闭！"));
}

void TestConnection::reconnectAfterTheDeviceCameBack() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.port.vanish();
    harness.forgetRecords();
    harness.click("Command1");
    QCOMPARE(caption(harness), QStringLiteral("断开"));
    QCOMPARE(harness.statuses.last(), QStringLiteral("参数读取结束！"));
    QCOMPARE(harness.port.openCount(), 2);
}

void TestConnection::portTooltipNamesTheDevice() {
    WindowHarness harness;
    auto *ports = harness.find<QComboBox>("Combo1");
    QCOMPARE(ports->toolTip(), QStringLiteral("/dev/fake1"));
    ports->setCurrentIndex(11);
    QCOMPARE(ports->toolTip(), QStringLiteral("/dev/fake12"));
}

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
