// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "station/slotalarm.h"

using pairwick::ledger::AttemptResult;
using pairwick::station::SlotAlarm;

class TestSlotAlarm : public QObject {
    Q_OBJECT

private slots:
    void changes_data();
    void changes();
};

void TestSlotAlarm::changes_data() {
    // Results in the order they came, "SLOT RESULT SEQ": P passed, F failed, I interrupted,
    // A already. What the alarm says: "+SLOT:SEQS" raised, "-SLOT" cleared.
    QTest::addColumn<int>("failures");
    QTest::addColumn<QString>("results");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three failures while another slot passes") << 3 << "0F1 1P2 0F3 0F4"
                                                              << "+0:1,3,4";
    QTest::newRow("cleared at the slot's next pass") << 3 << "0F1 1P2 0F3 0F4 0F5 1P6 0P7 0F8"
                                                     << "+0:1,3,4 -0";
    QTest::newRow("the whole station failing raises nothing") << 3 << "0F1 1F2 0F3 1F4 0F5 1F6"
                                                              << "";
    QTest::newRow("a pass before the failures is not in their time")
        << 3 << "1P1 0P2 0F3 0F4 0F5 1P6 0F7"
        << "+0:4,5,7";
    QTest::newRow("a pass of its own ends the count") << 3 << "1P1 0F2 0F3 0P4 0F5 0F6"
                                                      << "";
    QTest::newRow("interrupted and already change nothing") << 3 << "0F1 1P2 0I3 0F4 0A5 0F6"
                                                            << "+0:1,4,6";
    QTest::newRow("one failure with the number 1") << 1 << "0P1 0F2 1P3 0F4"
                                                   << "+0:4";
    QTest::newRow("off at 0") << 0 << "0F1 1P2 0F3 0F4 0F5"
                              << "";
    QTest::newRow("each slot on its own") << 2 << "0F1 2P2 1F3 0F4 1F5 0P6 1P7"
                                          << "+0:1,4 +1:3,5 -0 -1";
}

void TestSlotAlarm::changes() {
    QFETCH(int, failures);
    QFETCH(QString, results);
    QFETCH(QString, expected);
    SlotAlarm alarm(3, failures);
    QStringList said;
    for (const QString &result : results.split(u' ')) {
        const int slot = result.left(1).toInt();
        const QChar letter = result.at(1);
        const AttemptResult outcome = letter == u'P'   ? AttemptResult::Passed
                                      : letter == u'F' ? AttemptResult::Failed
                                      : letter == u'I' ? AttemptResult::Interrupted
                                                       : AttemptResult::Already;
        const auto change = alarm.unitFinished(slot, outcome, result.mid(2).toLongLong());
        if (!change)
            continue;
        QCOMPARE(change->slot, slot);
        QCOMPARE(alarm.raised(slot), change->raised);
        QStringList units;
        for (const qint64 seq : change->failedUnits)
            units.append(QString::number(seq));
        said.append(change->raised ? QStringLiteral("+%1:%2").arg(slot).arg(units.join(u','))
                                   : QStringLiteral("-%1").arg(slot));
    }
    QCOMPARE(said.join(u' '), expected);
}

QTEST_GUILESS_MAIN(TestSlotAlarm)
#include "tst_slotalarm.moc"
