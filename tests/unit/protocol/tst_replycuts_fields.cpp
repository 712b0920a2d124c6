// SPDX-License-Identifier: GPL-3.0-or-later
// The serial settings, role and prompt state: short fields cut at fixed places, never parsed.
#include <QTest>

#include "replybuilder.h"
#include "tst_replycuts.h"

using namespace pairwick::protocol;
using namespace pairwick::protocol::test;

void TestReplyCuts::cutUart_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("hasBaudRate");
    QTest::addColumn<QString>("baudRate");
    QTest::addColumn<QString>("parity");
    QTest::addColumn<QString>("stopBits");

    const QString exactlyFixed = uartReply("", ",  ", "N", ",", "1");

    QTest::newRow("115200, 3 skipped, E, 1 skipped, 2")
        << uartReply("115200", "xyz", "E", "w", "2") << true << "115200"
        << "E"
        << "2";
    QTest::newRow("9600 8N1") << uartReply("9600", ",0,", "N", ",", "1") << true << "9600"
                              << "N"
                              << "1";
    QTest::newRow("460800 odd") << uartReply("460800", "  ,", "O", " ", "1") << true << "460800"
                                << "O"
                                << "1";
    QTest::newRow("skipped characters are chinese")
        << uartReply("38400", "，校验", "E", "停", "2") << true << "38400"
        << "E"
        << "2";
    QTest::newRow("trailing space stays in the baud rate")
        << uartReply("9600 ", ",0,", "N", ",", "1") << true << "9600 "
        << "N"
        << "1";
    QTest::newRow("lower-case letter taken as it is")
        << uartReply("9600", ",0,", "n", ",", "1") << true << "9600"
        << "n"
        << "1";
    QTest::newRow("baud rate of length 0") << exactlyFixed << true << ""
                                           << "N"
                                           << "1";
    QTest::newRow("one character short of a baud rate") << exactlyFixed.mid(1) << false << ""
                                                        << "N"
                                                        << "1";
    QTest::newRow("exactly the last nine") << QStringLiteral("N,1\r\nOK\r\n") << false << ""
                                           << "N"
                                           << "1";
    QTest::newRow("eight characters") << QStringLiteral(",1\r\nOK\r\n") << false << ""
                                      << ""
                                      << "";
    QTest::newRow("acknowledgement only") << QStringLiteral("OK\r\n") << false << ""
                                          << ""
                                          << "";
    QTest::newRow("empty reply") << QString() << false << ""
                                 << ""
                                 << "";
}

void TestReplyCuts::cutUart() {
    QFETCH(QString, reply);
    QFETCH(bool, hasBaudRate);
    QFETCH(QString, baudRate);
    QFETCH(QString, parity);
    QFETCH(QString, stopBits);

    const UartPieces pieces = pairwick::protocol::cutUart(reply);
    QCOMPARE(pieces.baudRate.has_value(), hasBaudRate);
    if (hasBaudRate)
        QCOMPARE(*pieces.baudRate, baudRate);
    QCOMPARE(pieces.parity, parity);
    QCOMPARE(pieces.stopBits, stopBits);
}

void TestReplyCuts::cutRole_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("role");

    const QString head = echo(QStringLiteral("AT+ROLE?"));

    QTest::newRow("master") << head + "1" + OkTail << "1";
    QTest::newRow("slave") << head + "0" + OkTail << "0";
    QTest::newRow("unknown digit") << head + "2" + OkTail << "2";
    QTest::newRow("more after the digit is not examined") << head + "1 (master) and more\r\nOK\r\n"
                                                          << "1";
    QTest::newRow("chinese character at 11") << head + "主" + OkTail << "主";
    QTest::newRow("exactly 11 characters") << head + "1"
                                           << "1";
    QTest::newRow("command line only") << head << "";
    QTest::newRow("empty reply") << QString() << "";
}

void TestReplyCuts::cutRole() {
    QFETCH(QString, reply);
    QFETCH(QString, role);
    QCOMPARE(pairwick::protocol::cutRole(reply), role);
}

void TestReplyCuts::cutMessageState_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("state");

    const QString head = echo(QStringLiteral("AT+MSGENABLE?")) + skipped(8);

    QTest::newRow("enabled") << head + "EN" + OkTail << "EN";
    QTest::newRow("disabled") << head + "DI" + OkTail << "DI";
    QTest::newRow("lower case taken as it is") << head + "en" + OkTail << "en";
    QTest::newRow("more after the state is not examined") << head + "ENABLED\r\nOK\r\n"
                                                          << "EN";
    QTest::newRow("exactly 25 characters") << head + "DI"
                                           << "DI";
    QTest::newRow("24 characters") << head + "D"
                                   << "D";
    QTest::newRow("23 characters") << head << "";
    QTest::newRow("empty reply") << QString() << "";
}

void TestReplyCuts::cutMessageState() {
    QFETCH(QString, reply);
    QFETCH(QString, state);
    QCOMPARE(pairwick::protocol::cutMessageState(reply), state);
}
