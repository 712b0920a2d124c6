// SPDX-License-Identifier: GPL-3.0-or-later
// A read cut short by a missing connection, a vanished device, or the user: nothing more is sent.
#include <QSignalSpy>
#include <QTest>

#include "tst_readparameters.h"

using pairwick::fakes::ScriptedMessageBoxes;
using pairwick::fakes::WindowHarness;

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
