// SPDX-License-Identifier: GPL-3.0-or-later
// Text values cut from their replies at counted positions, whatever the value or the trailer
// holds.
#include <QTest>

#include "replybuilder.h"
#include "tst_replycuts.h"

using namespace pairwick::protocol;
using namespace pairwick::protocol::test;

void TestReplyCuts::cutText_data() {
    QTest::addColumn<TextCut>("cut");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("cuttable");
    QTest::addColumn<QString>("value");

    for (const TextLayout &layout : textLayouts()) {
        const auto row = [&layout](const char *what) -> QTestData & {
            return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(
                QString::fromUtf8(layout.name), QString::fromUtf8(what))));
        };
        const QString emptyValueReply = textReply(layout, QString());

        row("typical value") << layout.cut << textReply(layout, layout.typicalValue) << true
                             << layout.typicalValue;
        row("one character") << layout.cut << textReply(layout, QStringLiteral("7")) << true << "7";
        row("chinese counted in characters")
            << layout.cut << textReply(layout, QStringLiteral("测试设备")) << true << "测试设备";
        row("value holding line breaks and OK")
            << layout.cut << textReply(layout, QStringLiteral("a\r\nOK\r\nb")) << true
            << "a\r\nOK\r\nb";
        row("spaces kept as cut") << layout.cut << textReply(layout, QStringLiteral(" x ")) << true
                                  << " x ";
        row("value of length 0") << layout.cut << emptyValueReply << true << "";
        row("one character short") << layout.cut << emptyValueReply.chopped(1) << false << "";
        row("command line only") << layout.cut << echo(layout.query) << false << "";
        row("acknowledgement only") << layout.cut << QStringLiteral("OK\r\n") << false << "";
        row("empty reply") << layout.cut << QString() << false << "";
    }
}

void TestReplyCuts::cutText() {
    QFETCH(TextCut, cut);
    QFETCH(QString, reply);
    QFETCH(bool, cuttable);
    QFETCH(QString, value);

    const std::optional<QString> result = pairwick::protocol::cutText(reply, cut);
    QCOMPARE(result.has_value(), cuttable);
    if (cuttable)
        QCOMPARE(*result, value);
}

void TestReplyCuts::boundAddressTrailer_data() {
    QTest::addColumn<QString>("trailer");
    QTest::addColumn<QString>("value");

    const QString seven = bindTail(7);

    QTest::newRow("97 characters") << seven << BoundAddress;
    QTest::newRow("96 characters") << seven.chopped(1) << BoundAddress.chopped(1);
    QTest::newRow("98 characters") << seven + QStringLiteral("\n") << BoundAddress + "\r";
    QTest::newRow("six empty slots") << bindTail(6) << BoundAddress.chopped(13);
    QTest::newRow("eight empty slots") << bindTail(8) << BoundAddress + "\r\n+BINDADDR1=";
}

// Only the count of characters behind the bound address decides where the cut falls.
void TestReplyCuts::boundAddressTrailer() {
    QFETCH(QString, trailer);
    QFETCH(QString, value);

    const QString reply =
        echo(QStringLiteral("AT+BINDADDR?")) + skipped(11) + BoundAddress + trailer;
    const std::optional<QString> result = pairwick::protocol::cutText(reply, BindAddressCut);
    QVERIFY(result.has_value());
    QCOMPARE(*result, value);
}
