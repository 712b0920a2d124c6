// SPDX-License-Identifier: GPL-3.0-or-later
// A slot's tile as drawn and as read aloud, in every state it can show.
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QSet>
#include <QTest>

#include "notificationrecorder.h"
#include "stationwindow/slottile.h"
#include "tst_stationwindow.h"

using pairwick::station::SlotEvent;
using pairwick::station::SlotState;
using pairwick::station::UnitReport;
using pairwick::stationwindow::SlotTile;

void TestStationWindow::tileShowsTheSlotsState_data() {
    QTest::addColumn<SlotEvent>("event");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("top");

    const QColor grey(0x5f, 0x63, 0x68);
    QTest::newRow("waiting") << SlotEvent{} << grey << "等待"
                             << ""
                             << "COM3";
    QTest::newRow("working") << SlotEvent{SlotState::Working, "write pin", 12, 5, 9, false}
                             << QColor(0x15, 0x65, 0xc0) << "进行中"
                             << ""
                             << "COM3  #12";
    QTest::newRow("passed") << SlotEvent{SlotState::Passed, "Unit-012 PIN 904512", 12, 0, 0, true}
                            << QColor(0x2e, 0x7d, 0x32) << "通过"
                            << "Unit-012\nPIN 904512"
                            << "COM3  #12";
    QTest::newRow("failed") << SlotEvent{SlotState::Failed, "write pin: no reply", 12, 0, 0, true}
                            << QColor(0xc6, 0x28, 0x28) << "失败"
                            << "write pin: no reply"
                            << "COM3  #12";
    QTest::newRow("already")
        << SlotEvent{SlotState::Already, "already provisioned as Unit-003", 3, 0, 0, true}
        << QColor(0xff, 0xb3, 0x00) << "已配置过"
        << "already provisioned as Unit-003"
        << "COM3  #3";
    QTest::newRow("rejected")
        << SlotEvent{SlotState::Rejected, "请放到一边：#7 已尝试 3 次，不再写入", 7, 0, 0, true}
        << QColor(0xe6, 0x51, 0x00) << "已拒收"
        << "请放到一边：#7 已尝试 3 次，不再写入"
        << "COM3  #7";
    QTest::newRow("ledger away")
        << SlotEvent{SlotState::LedgerAway, "waiting for the ledger", 0, 0, 0, false} << grey
        << "等待台账"
        << ""
        << "COM3";
}

void TestStationWindow::tileShowsTheSlotsState() {
    QFETCH(SlotEvent, event);
    QFETCH(QColor, colour);
    QFETCH(QString, word);
    QFETCH(QString, main);
    QFETCH(QString, top);
    SlotTile tile(QStringLiteral("COM3"));
    tile.resize(320, 130);
    tile.show();
    UnitReport report;
    report.settings.set(pairwick::settings::Key::Name, QStringLiteral("Unit-012"));
    report.settings.set(pairwick::settings::Key::Pin, QStringLiteral("904512"));
    tile.unitFinished(report);
    pairwick::fakes::NotificationRecorder notifications;
    qApp->installEventFilter(&notifications);
    tile.display(event);
    qApp->removeEventFilter(&notifications);
    // A new state is told to a screen reader as it is shown; staying in one is no news.
    QCOMPARE(notifications.shown,
             event.state == SlotState::Waiting ? QStringList() : QStringList{tile.summary()});

    // As drawn: the state's colour, and text readable on it (dark on amber, white on the rest).
    const QImage drawn = tile.grab().toImage();
    QCOMPARE(drawn.pixelColor(tile.width() / 2, 3), colour);
    QSet<QRgb> inks;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            inks.insert(drawn.pixel(x, y));
    }
    const bool amber = colour == QColor(0xff, 0xb3, 0x00);
    QVERIFY(inks.contains(QColor(amber ? Qt::black : Qt::white).rgb()));
    const SlotTile::Face &face = tile.face();
    QCOMPARE(face.word, word);
    QCOMPARE(face.top, top);
    QCOMPARE(face.main, main);
    QCOMPARE(face.stepsAll > 0, event.state == SlotState::Working);
    if (event.state == SlotState::Working)
        QCOMPARE(face.stepsDone * 9, face.stepsAll * 5);
    QCOMPARE(!face.removal.isEmpty(), event.awaitingRemoval);
    QVERIFY(tile.summary().startsWith(top + "，" + word));
    QCOMPARE(tile.accessibleDescription(), tile.summary());

    // The slot alarm is shown and read with the tile until it is cleared.
    tile.alarm({true, 0, {7, 9, 12}});
    QCOMPARE(face.alarm, QStringLiteral("请检查此槽的夹具（#7、#9、#12 失败）"));
    QVERIFY(tile.accessibleDescription().contains(face.alarm));
    QCOMPARE(tile.accessibleName(), QStringLiteral("槽 COM3，请检查夹具"));
    tile.alarm({false, 0, {}});
    QVERIFY(face.alarm.isEmpty());
    QCOMPARE(tile.accessibleName(), QStringLiteral("槽 COM3"));
}
