// SPDX-License-Identifier: GPL-3.0-or-later
// When a reply is whole, so that the next command is not sent into the middle of one.
#include <QTest>

#include "protocol/replylayout.h"
#include "replybuilder.h"
#include "tst_replycuts.h"

using namespace pairwick::protocol;
using namespace pairwick::protocol::test;

void TestReplyCuts::completeReply_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("received");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");  // -1: still incomplete

    for (const TextLayout &layout : textLayouts()) {
        const QString reply = textReply(layout, layout.typicalValue);
        QTest::addRow("%s", layout.name) << layout.query << reply << qsizetype(0) << reply.size();
        QTest::addRow("%s, a value that reads OK", layout.name)
            << layout.query << textReply(layout, QStringLiteral("OK")) << qsizetype(0)
            << textReply(layout, QStringLiteral("OK")).size();
        QTest::addRow("%s, last character missing", layout.name)
            << layout.query << reply.chopped(1) << qsizetype(0) << qsizetype(-1);
        QTest::addRow("%s, after stale input, before the next", layout.name)
            << layout.query << "junk\r\n" + reply + "AT" << qsizetype(6) << reply.size();
    }
    const QString uart = uartReply("115200", ",8,", "E", ",", "2");
    QTest::newRow("uart") << "AT+UART?" << uart << qsizetype(0) << uart.size();
    const QString role = echo("AT+ROLE?") + "1" + OkTail;
    QTest::newRow("role") << "AT+ROLE?" << role << qsizetype(0) << role.size();
    const QString messages = echo("AT+MSGENABLE?") + skipped(8) + "EN" + OkTail;
    QTest::newRow("prompt state behind skipped line ends")
        << "AT+MSGENABLE?" << messages << qsizetype(0) << messages.size();
    const QString set = echo("AT+PIN=OK") + "ERROR\r\n";
    QTest::newRow("a set command closed by an error line")
        << "AT+PIN=OK" << set << qsizetype(0) << set.size();
    QTest::newRow("lower-case ok closes too") << "AT"
                                              << "AT\r\nok\r\n"
                                              << qsizetype(0) << qsizetype(8);
    QTest::newRow("no repeated command line") << "AT+VER?"
                                              << "V1\r\nOK\r\n"
                                              << qsizetype(0) << qsizetype(-1);
    QTest::newRow("another command repeated")
        << "AT+VER?" << echo("AT+PIN?") + "V1" + OkTail << qsizetype(0) << qsizetype(-1);
}

// Completion follows each command's layout: values and skipped characters are counted, never
// searched for "OK".
void TestReplyCuts::completeReply() {
    QFETCH(QString, command);
    QFETCH(QString, received);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);

    const std::optional<ReplySpan> span = pairwick::protocol::completeReply(command, received);
    QCOMPARE(span.has_value(), length >= 0);
    if (span) {
        QCOMPARE(span->start, start);
        QCOMPARE(span->length, length);
    }
}
