// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's values as a screen reader reads them: each list's choice, the connection
// status, the status line and the progress bar follow what the window shows.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include "notificationrecorder.h"
#include "tst_accessibility.h"

using pairwick::accessibility::test::nameOf;
using pairwick::accessibility::test::valueOf;
using pairwick::fakes::NotificationRecorder;

void TestAccessibility::listsReadTheirChoiceAsValue() {
    m_harness->connectAdapter();
    const std::pair<const char *, QString> choices[] = {
        {"Combo2", m_harness->adapter.baudRate},
        {"Combo3", QStringLiteral("Even 偶")},
        {"Combo4", m_harness->adapter.stopBits},
    };
    for (const auto &[list, choice] : choices) {
        QAccessibleInterface *control = node(QString::fromLatin1(list));
        QVERIFY(control);
        QCOMPARE(control->role(), QAccessible::ComboBox);
        QCOMPARE(valueOf(control), choice);
    }
    QCOMPARE(valueOf(node(QStringLiteral("Combo1"))),
             m_harness->find<QComboBox>("Combo1")->currentText());
}

void TestAccessibility::connectionStatusReadsItsTextAsValue() {
    QAccessibleInterface *status = node(QStringLiteral("Text1"));
    QVERIFY(status);
    QCOMPARE(valueOf(status), QStringLiteral("串口已关闭！"));
    m_harness->connectAdapter();
    m_harness->clock.advance(65);
    m_harness->tickLinkClock();
    const QString shown = m_harness->find<QLineEdit>("Text1")->text();
    QVERIFY(shown != QStringLiteral("串口已关闭！"));
    QCOMPARE(valueOf(status), shown);
    QCOMPARE(nameOf(status), QStringLiteral("连接状态"));
}

void TestAccessibility::statusLineReadsTheCurrentStatus() {
    QAccessibleInterface *line = node(QStringLiteral("StatusBar1"));
    QVERIFY(line);
    QCOMPARE(line->role(), QAccessible::StatusBar);
    QCOMPARE(nameOf(line), QStringLiteral("准备"));

    m_harness->click("Command1");
    const QString current = m_harness->find<QStatusBar>("StatusBar1")->currentMessage();
    QCOMPARE(current, QStringLiteral("参数读取结束！"));
    QCOMPARE(nameOf(line), current);

    m_harness->click("Command1");
    QCOMPARE(nameOf(line), QStringLiteral("串口已关闭！"));
}

void TestAccessibility::statusOutcomesAreNotified() {
    const QWidget *focused = QApplication::focusWidget();
    m_harness->adapter.baudRate = QStringLiteral("300");
    NotificationRecorder notifications;
    qApp->installEventFilter(&notifications);
    m_harness->click("Command1");
    // Refused twice: the second "准备" is no news.
    m_harness->boxes.answerConfirmations({false, false});
    m_harness->click("Command3");
    m_harness->click("Command3");

    QCOMPARE(notifications.shown, m_harness->statuses);
    QVERIFY(notifications.shown.contains(QStringLiteral("UART波特率错误！")));
    QCOMPARE(notifications.shown.mid(notifications.shown.size() - 2),
             QStringList({QStringLiteral("参数读取结束！"), QStringLiteral("准备")}));
    QCOMPARE(QApplication::focusWidget(), focused);
}

void TestAccessibility::progressBarOffersItsRange() {
    QAccessibleInterface *bar = node(QStringLiteral("ProgressBar1"));
    QVERIFY(bar);
    QAccessibleValueInterface *value = bar->valueInterface();
    QVERIFY(value);
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 100);
    QCOMPARE(value->currentValue().toInt(), 0);
}
