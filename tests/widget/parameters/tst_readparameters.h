// SPDX-License-Identifier: GPL-3.0-or-later
// Query and the reading of all parameters: the test class and what every group expects to see.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "parameterview.h"

inline const QStringList AllQueries{"AT+DEVICENAME?", "AT+VER?", "AT+UART?", "AT+ROLE?",
                                    "AT+MSGENABLE?",  "AT+PIN?", "AT+ADDR?", "AT+BINDADDR?"};
inline const QString Running = QStringLiteral("正在读取蓝牙参数......");
inline const QString Finished = QStringLiteral("参数读取结束！");
inline const QStringList FullBar{"shown", "10", "20", "30",  "40", "50",    "60",
                                 "70",    "80", "90", "100", "0",  "hidden"};

inline QStringList linesSince(const pairwick::fakes::WindowHarness &harness, qsizetype before) {
    return harness.port.writtenLines().mid(before);
}

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
