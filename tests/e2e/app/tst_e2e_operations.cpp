// SPDX-License-Identifier: GPL-3.0-or-later
// Save, Query and Default for real, against the simulated adapter, and the adapter vanishing
// in the middle of each.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "e2eharness.h"

using pairwick::fakes::ScriptedMessageBoxes;

class TestE2eOperations : public QObject {
    Q_OBJECT

private slots:
    void saveThenQueryReadsTheSameValues();
    void defaultRestoresTheFactoryValues();
    void adapterVanishingMidOperation_data();
    void adapterVanishingMidOperation();
};

void TestE2eOperations::saveThenQueryReadsTheSameValues() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator());
    harness.click("Command1");
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    harness.find<QLineEdit>("Text2")->setText(QStringLiteral("蓝牙 模块"));
    harness.find<QComboBox>("Combo2")->setCurrentText(QStringLiteral("115200"));
    harness.find<QComboBox>("Combo3")->setCurrentIndex(1);
    harness.find<QComboBox>("Combo4")->setCurrentIndex(1);
    harness.find<QRadioButton>("Option1")->click();
    harness.find<QLineEdit>("Text4")->setText(QStringLiteral("8765"));
    harness.find<QLineEdit>("Text6")->setText(QStringLiteral("0011:22:334455"));
    harness.click("Command3");
    QCOMPARE(harness.status(), QStringLiteral("参数保存结束！"));
    QCOMPARE(harness.boxes.texts(), QStringList({"确认保存设置吗？"}));

    harness.click("Command2");
    QCOMPARE(harness.status(), QStringLiteral("参数读取结束！"));
    QCOMPARE(harness.text("Text2"), QStringLiteral("蓝牙 模块"));
    QCOMPARE(harness.find<QComboBox>("Combo2")->currentText(), QStringLiteral("115200"));
    QCOMPARE(harness.find<QComboBox>("Combo3")->currentText(), QStringLiteral("Odd  奇"));
    QCOMPARE(harness.find<QComboBox>("Combo4")->currentText(), QStringLiteral("2"));
    QVERIFY(harness.find<QRadioButton>("Option1")->isChecked());
    QCOMPARE(harness.text("Text4"), QStringLiteral("8765"));
    QCOMPARE(harness.text("Text6"), QStringLiteral("0011:22:334455"));
    QCOMPARE(harness.boxes.shown().size(), 1);
}

void TestE2eOperations::defaultRestoresTheFactoryValues() {
    E2eHarness harness;
    QVERIFY(harness.startSimulator({"--initial-role", "1"}));
    harness.click("Command1");
    harness.find<QLineEdit>("Text4")->setText(QStringLiteral("0000"));
    harness.click("Command3");
    QCOMPARE(harness.status(), QStringLiteral("参数保存结束！"));
    harness.click("Command4");
    QCOMPARE(harness.status(), QStringLiteral("蓝牙模块参数已恢复成出厂默认设置！"));
    QCOMPARE(harness.text("Text4"), QStringLiteral("1234"));
    QCOMPARE(harness.text("Text2"), QStringLiteral("PairwickSim"));
    QVERIFY(harness.find<QRadioButton>("Option2")->isChecked());
    QVERIFY(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning).isEmpty());
}

void TestE2eOperations::adapterVanishingMidOperation_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("vanishOn");
    QTest::addColumn<QString>("status");
    // Query sends only what the connect's read sent before: the adapter is pulled instead,
    // halfway through the third query.
    QTest::newRow("query") << "Command2"
                           << ""
                           << "读取 [UART参数] 时失败！";
    QTest::newRow("save") << "Command3"
                          << "AT+UARTPARITY=N"
                          << "保存 [校验位] 时失败！";
    QTest::newRow("default") << "Command4"
                             << "AT+DEFAULT"
                             << "恢复出厂默认设置时失败！";
}

void TestE2eOperations::adapterVanishingMidOperation() {
    QFETCH(QString, button);
    QFETCH(QString, vanishOn);
    QFETCH(QString, status);
    E2eHarness harness;
    QVERIFY(harness.startSimulator(vanishOn.isEmpty() ? QStringList()
                                                      : QStringList{"--vanish-on", vanishOn}));
    harness.click("Command1");
    QCOMPARE(harness.caption(), QStringLiteral("断开"));
    if (vanishOn.isEmpty())
        QTimer::singleShot(2500, [&harness] { harness.simulator.sendSignal(SIGKILL); });
    harness.click(button.toLatin1().constData());
    QCOMPARE(harness.status(), status);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning).size(), 1);
    QCOMPARE(harness.caption(), QStringLiteral("连接"));
    QCOMPARE(harness.text("Text1"), QStringLiteral("串口已关闭！"));
    QVERIFY(!harness.port.isOpen());
    // The fields keep what was read before the adapter left.
    QCOMPARE(harness.text("Text2"), QStringLiteral("PairwickSim"));
}

QTEST_MAIN(TestE2eOperations)
#include "tst_e2e_operations.moc"
