// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "replybuilder.h"
#include "tst_replycuts.h"

using namespace pairwick::protocol;
using namespace pairwick::protocol::test;

// The reply builders must give the fixed lengths the adapter's layouts add up to.
void TestReplyCuts::fixedPartLengths_data() {
    QTest::addColumn<QString>("replyWithoutValue");
    QTest::addColumn<int>("fixedLength");

    for (const TextLayout &layout : textLayouts())
        QTest::newRow(layout.name) << textReply(layout, QString()) << layout.fixedLength;
    QTest::newRow("uart") << uartReply("", "   ", "N", " ", "1") << 22;
    QTest::newRow("bound address trailer") << bindTail(7) << 97;
}

void TestReplyCuts::fixedPartLengths() {
    QFETCH(QString, replyWithoutValue);
    QFETCH(int, fixedLength);
    QCOMPARE(replyWithoutValue.size(), fixedLength);
}

QTEST_APPLESS_MAIN(TestReplyCuts)
