// SPDX-License-Identifier: GPL-3.0-or-later
// Query and the reading of all parameters, with the adapter answering well and badly.
#include <QSignalSpy>
#include <QTest>

#include "parameterview.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

namespace {

const QStringList AllQueries{"AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                             "AT+MSGENABLE?",  "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"};
const QString Running = QStringLiteral("正在读取蓝牙参数......");
const QString Finished = QStringLiteral("参数读取结束！");
const QStringList FullBar{"shown", "10", "20", "30",  "40", "50",    "60",
                          "70",    "80", "90", "100", "0",  "hidden"};

QStringList linesSince(const WindowHarness &harness, qsizetype before) {
    return harness.port.writtenLines().mid(before);
}

}  // namespace

class TestReadParameters : public QObject {
    Q_OBJECT

private slots:
    void masterRoleReadsEverything();
    void slaveRoleSkipsTheBoundAddressButKeepsThePace();
    void tokenMismatches_data();
    void tokenMismatches();
    void noAtEachStep_data();
    void noAtEachStep();
    void yesWhenNothingCameKeepsTheFieldEmpty();
    void yesAfterAnErrorReplyShowsTheWholeReply();
    void lateTailShiftsTheNextCut();
    void acknowledgedButTooShort_data();
    void acknowledgedButTooShort();
    void assignedTextsAreCutToTheirLimits();
    void queryWithoutConnection();
    void deviceLeavingMidReadEndsTheRun();
    void deviceLeavingInContinueModeGoesOn();
    void connectButtonStopsTheRead();
    void otherOperationsWaitForTheRead();
    void exitDuringTheReadSendsNothingMore();
    void closingTheWindowDuringTheReadSendsNothingMore();
};

void TestReadParameters::masterRoleReadsEverything() {
    WindowHarness harness;
    const RunRecord query = connectThenClick(harness, "Command2");
    const ParameterView view{harness};
    QCOMPARE(query.lines, AllQueries);
    QCOMPARE(query.waits, 8);
    QCOMPARE(harness.statuses, QStringList({Running, Finished}));
    QCOMPARE(harness.progress, FullBar);
    QVERIFY(harness.boxes.shown().isEmpty());
    QCOMPARE(view.text("Text2"), QStringLiteral("Pairwick-01"));
    QCOMPARE(view.text("Text3"), QStringLiteral("V2.1.0"));
    QCOMPARE(view.listText("Combo2"), QStringLiteral("115200"));
    QCOMPARE(view.listText("Combo3"), QStringLiteral("Even 偶"));
    QCOMPARE(view.listText("Combo4"), QStringLiteral("2"));
    QVERIFY(view.master());
    QVERIFY(!view.slave());
    QVERIFY(view.messages());
    QCOMPARE(view.text("Text4"), QStringLiteral("4321"));
    QCOMPARE(view.text("Text5"), QStringLiteral("0A1B:2C:3D4E5F"));
    QCOMPARE(view.text("Text6"), QStringLiteral("0E12:34:56789A"));
    QVERIFY(view.boundAddressEditable());
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
}

void TestReadParameters::slaveRoleSkipsTheBoundAddressButKeepsThePace() {
    WindowHarness harness;
    harness.adapter.role = QStringLiteral("0");
    harness.adapter.messages = QStringLiteral("DI");
    harness.connectAdapter();
    const qsizetype before = harness.port.written().size();
    const int waitsBefore = harness.waiter.waits();
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 7));
    QCOMPARE(harness.waiter.waits() - waitsBefore, 8);
    QCOMPARE(harness.progress, FullBar);
    QCOMPARE(harness.statuses, QStringList({Running, Finished}));
    QVERIFY(view.slave());
    QVERIFY(!view.master());
    QVERIFY(!view.messages());
    QVERIFY(view.text("Text6").isEmpty());
    QVERIFY(view.boundAddressLocked());
}

void TestReadParameters::tokenMismatches_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    QTest::newRow("baud 300") << "baudRate"
                              << "300"
                              << "UART波特率错误！";
    QTest::newRow("baud with leading space") << "baudRate"
                                             << " 9600"
                                             << "UART波特率错误！";
    QTest::newRow("baud with leading zero") << "baudRate"
                                            << "09600"
                                            << "UART波特率错误！";
    QTest::newRow("parity lower case") << "parity"
                                       << "n"
                                       << "UART校验位错误！";
    QTest::newRow("stop bits 3") << "stopBits"
                                 << "3"
                                 << "UART停止位错误！";
    QTest::newRow("role 2") << "role"
                            << "2"
                            << "主从角色错误！";
    QTest::newRow("messages lower case") << "messages"
                                         << "en"
                                         << "串口提示信息错误！";
}

void TestReadParameters::tokenMismatches() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, status);
    WindowHarness harness;
    harness.connectAdapter();
    harness.adapter.role = QStringLiteral("1");
    QHash<QString, QString *> fields{{"baudRate", &harness.adapter.baudRate},
                                     {"parity", &harness.adapter.parity},
                                     {"stopBits", &harness.adapter.stopBits},
                                     {"role", &harness.adapter.role},
                                     {"messages", &harness.adapter.messages}};
    *fields.value(field) = value;
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(harness.statuses, QStringList({Running, status, Finished}));
    QVERIFY(harness.boxes.shown().isEmpty());
    QCOMPARE(view.listIndex("Combo2"), field == u"baudRate" ? -1 : 8);
    QCOMPARE(view.listIndex("Combo3"), field == u"parity" ? -1 : 2);
    QCOMPARE(view.listIndex("Combo4"), field == u"stopBits" ? -1 : 1);
    if (field == u"role") {
        QVERIFY(!view.master());
        QVERIFY(!view.slave());
        // An unknown role takes the slave branch: no bound-address query.
        QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 7));
        QVERIFY(view.boundAddressLocked());
    } else {
        QCOMPARE(linesSince(harness, before), AllQueries);
    }
    if (field == u"messages")
        QVERIFY(!view.messages());
}

void TestReadParameters::noAtEachStep_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("label");
    const QStringList labels{"设备名称",     "固件版本号", "UART参数",     "设备的主从角色",
                             "串口提示信息", "PIN码",      "本地蓝牙地址", "绑定从端地址"};
    for (int step = 1; step <= 8; ++step)
        QTest::addRow("step %d", step) << step << labels.at(step - 1);
}

void TestReadParameters::noAtEachStep() {
    QFETCH(int, step);
    QFETCH(QString, label);
    WindowHarness harness;
    harness.connectAdapter();
    harness.adapter.replyTo(AllQueries.at(step - 1), AllQueries.at(step - 1) + "\r\nERROR\r\n");
    harness.boxes.answerQuestions({false});
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion),
             QStringList({QStringLiteral("读取 [%1] 时失败，是否继续？").arg(label)}));
    QCOMPARE(harness.statuses.last(), QStringLiteral("读取 [%1] 时失败！").arg(label));
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, step));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
    // Earlier steps keep what they read; later ones stay cleared.
    QCOMPARE(view.text("Text2").isEmpty(), step <= 1);
    QCOMPARE(view.text("Text3").isEmpty(), step <= 2);
    QCOMPARE(view.listIndex("Combo2") < 0, step <= 3);
    QCOMPARE(view.master(), step >= 5);
    QCOMPARE(view.messages(), step >= 6);
    QCOMPARE(view.text("Text4").isEmpty(), step <= 6);
    QCOMPARE(view.text("Text5").isEmpty(), step <= 7);
    QVERIFY(view.text("Text6").isEmpty());
}

void TestReadParameters::yesWhenNothingCameKeepsTheFieldEmpty() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.adapter.replyTo(QStringLiteral("AT+DEVICENAME?"), QString());
    harness.boxes.answerQuestions({true});
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(harness.boxes.texts(), QStringList({"读取 [设备名称] 时失败，是否继续？"}));
    QVERIFY(view.text("Text2").isEmpty());
    QCOMPARE(view.text("Text3"), QStringLiteral("V2.1.0"));
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestReadParameters::yesAfterAnErrorReplyShowsTheWholeReply() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.adapter.replyTo(QStringLiteral("AT+PIN?"), QStringLiteral("ERR\r\n"));
    harness.adapter.replyTo(QStringLiteral("AT+VER?"),
                            QStringLiteral("AT+VER?\r\nERROR: a long complaint\r\n"));
    harness.boxes.answerQuestions({true, true});
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(view.text("Text4"), QStringLiteral("ERR\r\n"));
    // A reply long enough for the cut is cut where the layout says, whatever it holds.
    QCOMPARE(view.text("Text3"), QStringLiteral("ERROR: a long compl"));
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestReadParameters::lateTailShiftsTheNextCut() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.port.setAdapter([&harness](const QString &line) {
        if (line == u"AT+DEVICENAME?")
            harness.port.holdBackNextReply(4);
        return harness.adapter.answer(line);
    });
    harness.boxes.answerQuestions({true});
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(harness.boxes.texts(), QStringList({"读取 [设备名称] 时失败，是否继续？"}));
    // "AT+DEVICENAME?\r\nPairwick-01\r\n" is 29 long: 7 characters from position 17.
    QCOMPARE(view.text("Text2"), QStringLiteral("Pairwic"));
    // "OK\r\n" heads the version reply and moves its cut four places.
    QCOMPARE(view.text("Text3"), QStringLiteral("R?\r\nV2.1.0"));
    QCOMPARE(view.text("Text4"), QStringLiteral("4321"));
    QCOMPARE(harness.statuses.last(), Finished);
}

void TestReadParameters::acknowledgedButTooShort_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<QString>("field");
    QTest::newRow("name, No") << "AT+DEVICENAME?"
                              << "设备名称" << false << "Text2";
    QTest::newRow("name, Yes") << "AT+DEVICENAME?"
                               << "设备名称" << true << "Text2";
    QTest::newRow("version, Yes") << "AT+VER?"
                                  << "固件版本号" << true << "Text3";
    QTest::newRow("PIN, Yes") << "AT+PIN?"
                              << "PIN码" << true << "Text4";
    QTest::newRow("address, Yes") << "AT+ADDR?"
                                  << "本地蓝牙地址" << true << "Text5";
    QTest::newRow("bound address, No") << "AT+BINDADDR?"
                                       << "绑定从端地址" << false << "Text6";
    QTest::newRow("bound address, Yes") << "AT+BINDADDR?"
                                        << "绑定从端地址" << true << "Text6";
    QTest::newRow("UART, Yes") << "AT+UART?"
                               << "UART参数" << true << "";
}

void TestReadParameters::acknowledgedButTooShort() {
    QFETCH(QString, query);
    QFETCH(QString, label);
    QFETCH(bool, goOn);
    QFETCH(QString, field);
    WindowHarness harness;
    harness.connectAdapter();
    const QString shortReply = query + QStringLiteral("\r\nOK\r\n");
    harness.adapter.replyTo(query, shortReply);
    harness.boxes.answerQuestions({goOn});
    harness.click("Command2");
    QCOMPARE(harness.boxes.texts(),
             QStringList({QStringLiteral("读取 [%1] 时失败，是否继续？").arg(label)}));
    QVERIFY(!harness.progressShown());
    if (!goOn) {
        QCOMPARE(harness.statuses.last(), QStringLiteral("读取 [%1] 时失败！").arg(label));
        return;
    }
    QCOMPARE(harness.statuses.last(), Finished);
    if (field.isEmpty()) {
        QVERIFY(harness.statuses.contains(QStringLiteral("UART波特率错误！")));
        QCOMPARE(ParameterView{harness}.listIndex("Combo2"), -1);
    } else {
        // The whole reply, within the field's limit.
        const auto *box = harness.find<QLineEdit>(field.toLatin1().constData());
        QCOMPARE(box->text(), shortReply.left(box->maxLength()));
    }
}

void TestReadParameters::assignedTextsAreCutToTheirLimits() {
    WindowHarness harness;
    harness.adapter.name = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY");
    harness.adapter.pin = QStringLiteral("123456789012345");
    harness.connectAdapter();
    const ParameterView view{harness};
    QCOMPARE(view.text("Text2"), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    QCOMPARE(view.text("Text4"), QStringLiteral("1234567890"));
}

void TestReadParameters::queryWithoutConnection() {
    WindowHarness harness;
    harness.find<QLineEdit>("Text2")->setText(QStringLiteral("typed"));
    harness.click("Command2");
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"请先点击“连接”按钮！"}));
    QCOMPARE(harness.boxes.shown().size(), 1);
    QVERIFY(harness.statuses.isEmpty());
    QVERIFY(harness.progress.isEmpty());
    QCOMPARE(harness.find<QLineEdit>("Text2")->text(), QStringLiteral("typed"));
    QVERIFY(harness.port.written().isEmpty());
}

void TestReadParameters::deviceLeavingMidReadEndsTheRun() {
    WindowHarness harness;
    harness.connectAdapter();
    const int firstWait = harness.waiter.waits() + 1;
    harness.waiter.onWait([&harness, firstWait](int wait) {
        if (wait == firstWait + 2)  // during the UART query
            harness.port.vanish(QStringLiteral("Input/output error"));
    });
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 3));
    QCOMPARE(harness.statuses, QStringList({Running, "读取 [UART参数] 时失败！"}));
    QCOMPARE(harness.boxes.texts(),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    QVERIFY(!harness.progressShown());
    QCOMPARE(harness.progressBar()->value(), 0);
    QCOMPARE(view.caption(), QStringLiteral("连接"));
    QCOMPARE(view.text("Text1"), QStringLiteral("串口已关闭！"));
    QCOMPARE(view.text("Text2"), QStringLiteral("Pairwick-01"));
}

void TestReadParameters::deviceLeavingInContinueModeGoesOn() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.adapter.replyTo(QStringLiteral("AT+DEVICENAME?"), QString());
    const int firstWait = harness.waiter.waits() + 1;
    harness.waiter.onWait([&harness, firstWait](int wait) {
        if (wait == firstWait + 1)
            harness.port.vanish(QStringLiteral("Input/output error"));
    });
    harness.click("Command2");
    // Every later query fails to read and asks; the user goes on each time.
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::ContinueQuestion).size(), 7);
    QCOMPARE(harness.boxes.texts(ScriptedMessageBoxes::Style::Warning),
             QStringList({"串口设备 /dev/fake1 已断开或停止响应。\nInput/output error"}));
    QCOMPARE(harness.statuses.mid(harness.statuses.size() - 2),
             QStringList({Finished, "串口已关闭！"}));
    QCOMPARE(ParameterView{harness}.caption(), QStringLiteral("连接"));
}

void TestReadParameters::connectButtonStopsTheRead() {
    WindowHarness harness;
    harness.connectAdapter();
    const int firstWait = harness.waiter.waits() + 1;
    harness.waiter.onWait([&harness, firstWait](int wait) {
        if (wait == firstWait + 1)
            harness.click("Command1");
    });
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    const ParameterView view{harness};
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 2));
    QCOMPARE(harness.statuses.last(), QStringLiteral("串口已关闭！"));
    QCOMPARE(view.caption(), QStringLiteral("连接"));
    QVERIFY(!harness.port.isOpen());
    QVERIFY(!harness.progressShown());
    QVERIFY(harness.boxes.shown().isEmpty());
    QVERIFY(view.text("Text2").isEmpty());
}

void TestReadParameters::otherOperationsWaitForTheRead() {
    WindowHarness harness;
    harness.connectAdapter();
    harness.waiter.onWait([&harness](int) {
        for (const char *button : {"Command2", "Command3", "Command4"})
            harness.click(button);
    });
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    QCOMPARE(linesSince(harness, before), AllQueries);
    QVERIFY(harness.boxes.shown().isEmpty());
    QCOMPARE(harness.statuses, QStringList({Running, Finished}));
}

void TestReadParameters::exitDuringTheReadSendsNothingMore() {
    WindowHarness harness;
    harness.connectAdapter();
    QSignalSpy exitRequested(harness.form.get(), &pairwick::window::Form1::exitRequested);
    const int firstWait = harness.waiter.waits() + 1;
    harness.waiter.onWait([&harness, firstWait](int wait) {
        if (wait == firstWait + 3)
            harness.click("Command6");
    });
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    QCOMPARE(exitRequested.count(), 1);
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 4));
    QVERIFY(harness.boxes.shown().isEmpty());
    QVERIFY(!harness.port.isOpen());
}

void TestReadParameters::closingTheWindowDuringTheReadSendsNothingMore() {
    WindowHarness harness;
    harness.connectAdapter();
    const int firstWait = harness.waiter.waits() + 1;
    harness.waiter.onWait([&harness, firstWait](int wait) {
        if (wait == firstWait + 1)
            harness.form->close();
    });
    const qsizetype before = harness.port.written().size();
    harness.click("Command2");
    QCOMPARE(linesSince(harness, before), AllQueries.mid(0, 2));
    QVERIFY(harness.boxes.shown().isEmpty());
    QVERIFY(!harness.port.isOpen());
    QVERIFY(!harness.form->isVisible());
}

QTEST_MAIN(TestReadParameters)
#include "tst_readparameters.moc"
