// SPDX-License-Identifier: GPL-3.0-or-later
// A read that goes through, and answers whose values are not ones the form knows.
#include <QHash>
#include <QTest>

#include "tst_readparameters.h"

using pairwick::fakes::WindowHarness;

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

QTEST_MAIN(TestReadParameters)
