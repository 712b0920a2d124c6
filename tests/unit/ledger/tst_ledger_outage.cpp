// SPDX-License-Identifier: GPL-3.0-or-later
// A server that stops under a station: errors that say so, and a ledger that carries on.
#include <QSqlDatabase>
#include <QTest>

#include "ledger/sqlstatement.h"
#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using namespace pairwick::ledger::testing;
using settings::Key;

void TestLedger::reopensAfterAnOutage() {
    const QString url = freshUrl(QStringLiteral("postgresql"));
    {
        // What fails after a statement's first row (a commit, a connection) fails the statement.
        SqlStatement query(rawDatabase(url),
                           QStringLiteral("SELECT 1 / x FROM (VALUES (1), (0)) AS v (x)"));
        QVERIFY(query.exec().next());
        QVERIFY_THROWS_EXCEPTION(LedgerError, query.finish());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    Ledger ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("outage"));
    ledger.joinBatch(QStringLiteral("B1"), {}, 1, nullptr);
    QVERIFY2(m_postgres->stop(), qPrintable(m_postgres->problem()));
    int calls = 0;
    const AttemptStart start = startAt(QStringLiteral("1A:00:00:00:00:01"), QStringLiteral("s1"),
                                       QStringLiteral("1"), Morning);
    try {
        ledger.beginAttempt(start, false, 0, valuesNamed(&calls));
        QFAIL("the ledger recorded with its server stopped");
    } catch (const LedgerError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("beginning an attempt")),
                 qPrintable(error.message()));
    }
    QVERIFY_THROWS_EXCEPTION(LedgerError, ledger.totals(QStringLiteral("B1")));
    QVERIFY2(m_postgres->start(), qPrintable(m_postgres->problem()));
    QCOMPARE(ledger.beginAttempt(start, false, 0, valuesNamed(&calls)).unit.seq, 1);
    QCOMPARE(ledger.totals(QStringLiteral("B1")).units, 1);

    // The server goes away between a unit's number and its values: the error names the attempt
    // left open, and its end frees the unit for another station, which gives it its values.
    const QString address = QStringLiteral("1A:00:00:00:00:02");
    const AttemptStart cut = startAt(address, QStringLiteral("s1"), QStringLiteral("1"), Morning);
    try {
        ledger.beginAttempt(cut, false, 0, [&](qint64 seq) {
            m_postgres->stop();
            return valuesNamed(&calls)(seq);
        });
        QFAIL("values were stored with the server stopped");
    } catch (const AttemptLeftOpen &open) {
        QCOMPARE(open.attemptId(), cut.id);
    }
    QVERIFY2(m_postgres->start(), qPrintable(m_postgres->problem()));
    ledger.finishAttempt(endOf(cut, AttemptResult::Interrupted));
    const Reservation taken = ledger.beginAttempt(
        startAt(address, QStringLiteral("s2"), QStringLiteral("1"), Morning.addSecs(9)), false, 0,
        valuesNamed(&calls));
    QCOMPARE(taken.outcome, Reservation::Outcome::Reserved);
    QCOMPARE(taken.unit.values.value(Key::Name), QStringLiteral("Unit-2"));
}
