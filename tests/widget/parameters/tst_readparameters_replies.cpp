// SPDX-License-Identifier: GPL-3.0-or-later
// Failed and short replies: which fields keep what they read when the user goes on or stops.
#include <QTest>

#include "tst_readparameters.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

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
