// SPDX-License-Identifier: GPL-3.0-or-later
// Save: the lines it writes, its pace, its questions and how it ends.
#include <QTest>

#include "parameterview.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

namespace {

const QString Running = QStringLiteral("正在保存设置......");
const QString Finished = QStringLiteral("参数保存结束！");

RunRecord connectEditAndSave(WindowHarness &harness,
                             const std::function<void(WindowHarness &)> &edit = {}) {
    return connectThenClick(harness, "Command3", edit);
}

}  // namespace

class TestSaveParameters : public QObject {
    Q_OBJECT

private slots:
    void masterRoleWritesEightCommands();
    void slaveRoleWritesSevenAndKeepsThePace();
    void clearedFieldsSendBarePrefixes();
    void argumentsAreFormedFromTheFields_data();
    void argumentsAreFormedFromTheFields();
    void acknowledgement_data();
    void acknowledgement();
    void noAtCommandThreeStopsTheRest();
    void yesAtCommandOneGoesOn();
    void editsDuringTheRunReachLaterCommands();
    void notConnectedAndCancel();
    void deviceLeavingMidSaveEndsTheRun();
    void deviceLeavingInContinueModeGoesOn();
};

void TestSaveParameters::masterRoleWritesEightCommands() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness);
    QCOMPARE(save.lines,
             QStringList({"AT+DEVICENAME=Pairwick-01", "AT+UARTBAUDRATE=115200", "AT+UARTPARITY=E",
                          "AT+UARTSTOP=2", "AT+ROLE=1", "AT+MSGENABLE=1", "AT+PIN=4321",
                          "AT+BINDADDR0=0E12:34:56789A"}));
    QCOMPARE(save.waits, 9);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Confirmation),
             QStringList({"确认保存设置吗？"}));
    QCOMPARE(harness.boxes.shown().size(), 1);
    QCOMPARE(harness.statuses, QStringList({Running, Finished}));
    QCOMPARE(harness.progress, QStringList({"shown", "10", "20", "30", "40", "50", "60", "70", "80",
                                            "90", "100", "0", "hidden"}));
    // Save reads nothing back: the fields keep what they showed.
    QCOMPARE(ParameterView{harness}.text("Text2"), QStringLiteral("Pairwick-01"));
}

void TestSaveParameters::slaveRoleWritesSevenAndKeepsThePace() {
    WindowHarness harness;
    harness.adapter.role = QStringLiteral("0");
    const RunRecord save = connectEditAndSave(harness);
    QCOMPARE(save.lines.size(), 7);
    QCOMPARE(save.lines.at(4), QStringLiteral("AT+ROLE=0"));
    QVERIFY(!save.lines.join(' ').contains(QStringLiteral("BINDADDR0")));
    QCOMPARE(save.waits, 9);
    QCOMPARE(harness.progress, QStringList({"shown", "10", "20", "30", "40", "50", "60", "70", "80",
                                            "90", "100", "0", "hidden"}));
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestSaveParameters::clearedFieldsSendBarePrefixes() {
    WindowHarness harness;
    harness.adapter.messages = QStringLiteral("EN");
    // A disconnect clears the fields; connecting again with a silent read leaves them cleared.
    const RunRecord save = connectEditAndSave(harness, [](WindowHarness &h) {
        h.click("Command1");
        h.adapter.replyTo(QStringLiteral("AT+DEVICENAME?"), QString());
        h.boxes.answerQuestions({false});
        h.click("Command1");
        h.boxes.answerQuestions({});
    });
    QCOMPARE(save.lines, QStringList({"AT+DEVICENAME=", "AT+UARTBAUDRATE=", "AT+UARTPARITY=",
                                      "AT+UARTSTOP=", "AT+ROLE=0", "AT+MSGENABLE=0", "AT+PIN="}));
    QCOMPARE(save.waits, 9);
}

void TestSaveParameters::argumentsAreFormedFromTheFields_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<int>("parity");
    QTest::addColumn<QString>("nameLine");
    QTest::addColumn<QString>("pinLine");
    QTest::addColumn<QString>("parityLine");
    QTest::newRow("spaces at the ends go, inner ones stay") << "  Dev 1  "
                                                            << "12 34" << 0 << "AT+DEVICENAME=Dev 1"
                                                            << "AT+PIN=12 34"
                                                            << "AT+UARTPARITY=N";
    QTest::newRow("a space before a line break stays") << "Dev \r\n"
                                                       << "\r\n1234" << 1 << "AT+DEVICENAME=Dev "
                                                       << "AT+PIN=1234"
                                                       << "AT+UARTPARITY=O";
    QTest::newRow("Chinese name") << "蓝牙 模块"
                                  << "" << 2 << "AT+DEVICENAME=蓝牙 模块"
                                  << "AT+PIN="
                                  << "AT+UARTPARITY=E";
}

void TestSaveParameters::argumentsAreFormedFromTheFields() {
    QFETCH(QString, name);
    QFETCH(QString, pin);
    QFETCH(int, parity);
    QFETCH(QString, nameLine);
    QFETCH(QString, pinLine);
    QFETCH(QString, parityLine);
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [&](WindowHarness &h) {
        h.find<QLineEdit>("Text2")->setText(name);
        h.find<QLineEdit>("Text4")->setText(pin);
        h.find<QComboBox>("Combo3")->setCurrentIndex(parity);
    });
    QCOMPARE(save.lines.at(0), nameLine);
    QCOMPARE(save.lines.at(2), parityLine);
    QCOMPARE(save.lines.at(6), pinLine);
}

void TestSaveParameters::acknowledgement_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("acknowledged");
    QTest::newRow("echo and OK") << "AT+UARTSTOP=2\r\nOK\r\n" << true;
    QTest::newRow("anything before OK") << "garbage OK\r\n" << true;
    QTest::newRow("lower-case ok") << "AT+UARTSTOP=2\r\nok\r\n" << false;
    QTest::newRow("OK without CR LF") << "AT+UARTSTOP=2\r\nOK" << false;
    QTest::newRow("a line after OK") << "AT+UARTSTOP=2\r\nOK\r\nX" << false;
    QTest::newRow("error") << "AT+UARTSTOP=2\r\nERROR\r\n" << false;
    QTest::newRow("nothing") << "" << false;
}

void TestSaveParameters::acknowledgement() {
    QFETCH(QString, reply);
    QFETCH(bool, acknowledged);
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [&](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+UARTSTOP=2"), reply);
    });
    const QStringList questions =
        harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion);
    QCOMPARE(questions.isEmpty(), acknowledged);
    if (!acknowledged)
        QCOMPARE(questions, QStringList({"保存 [停止位] 时失败，是否继续？"}));
    QCOMPARE(save.lines.size(), 8);
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestSaveParameters::noAtCommandThreeStopsTheRest() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+UARTPARITY=E"), QStringLiteral("ERROR\r\n"));
        h.boxes.answerQuestions({false});
    });
    QCOMPARE(save.lines.size(), 3);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion),
             QStringList({"保存 [校验位] 时失败，是否继续？"}));
    QCOMPARE(harness.statuses, QStringList({Running, "保存 [校验位] 时失败！"}));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
}

void TestSaveParameters::yesAtCommandOneGoesOn() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+DEVICENAME=Pairwick-01"), QString());
        h.boxes.answerQuestions({true});
    });
    QCOMPARE(save.lines.size(), 8);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion),
             QStringList({"保存 [设备名称] 时失败，是否继续？"}));
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestSaveParameters::editsDuringTheRunReachLaterCommands() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [](WindowHarness &h) {
        const int firstWait = h.waiter.waits() + 1;
        h.waiter.onWait([&h, firstWait](int wait) {
            if (wait == firstWait) {
                h.find<QLineEdit>("Text2")->setText(QStringLiteral("too late"));
                h.find<QLineEdit>("Text4")->setText(QStringLiteral("0000"));
            }
        });
    });
    QCOMPARE(save.lines.at(0), QStringLiteral("AT+DEVICENAME=Pairwick-01"));
    QCOMPARE(save.lines.at(6), QStringLiteral("AT+PIN=0000"));
}

void TestSaveParameters::notConnectedAndCancel() {
    WindowHarness harness;
    harness.click("Command3");
    QCOMPARE(harness.boxes.texts(), QStringList({"请先点击“连接”按钮！"}));
    QCOMPARE(harness.boxes.shown().first().style, ScriptedMessageBoxes::Style::Warning);
    QVERIFY(harness.statuses.isEmpty());
    QVERIFY(harness.progress.isEmpty());

    harness.connectAdapter();
    const qsizetype before = harness.port.written().size();
    harness.boxes.answerConfirmations({false});
    harness.click("Command3");
    QCOMPARE(harness.statuses, QStringList({"准备"}));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.port.written().size(), before);
}

void TestSaveParameters::deviceLeavingMidSaveEndsTheRun() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(
        harness, [](WindowHarness &h) { h.port.vanishOnWrite(h.port.written().size() + 5); });
    QCOMPARE(save.lines.size(), 5);
    QCOMPARE(harness.statuses, QStringList({Running, "保存 [设备的主从角色] 时失败！"}));
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    QVERIFY(!harness.progressShown());
    const ParameterView view{harness};
    QCOMPARE(view.caption(), QStringLiteral("连接"));
    QCOMPARE(view.text("Text1"), QStringLiteral("串口已关闭！"));
    QCOMPARE(view.text("Text2"), QStringLiteral("Pairwick-01"));
}

void TestSaveParameters::deviceLeavingInContinueModeGoesOn() {
    WindowHarness harness;
    const RunRecord save = connectEditAndSave(harness, [](WindowHarness &h) {
        h.adapter.replyTo(QStringLiteral("AT+DEVICENAME=Pairwick-01"), QString());
        h.port.vanishOnWrite(h.port.written().size() + 2);
    });
    QCOMPARE(save.lines.size(), 2);
    // Every later command goes unread and asks; the user goes on each time.
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).size(), 8);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    QCOMPARE(harness.statuses.mid(harness.statuses.size() - 2),
             QStringList({Finished, "串口已关闭！"}));
    QCOMPARE(save.waits, 9);
}

QTEST_MAIN(TestSaveParameters)
#include "tst_saveparameters.moc"
