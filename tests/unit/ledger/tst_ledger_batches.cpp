// SPDX-License-Identifier: GPL-3.0-or-later
// One batch shared by several stations: its rules set once, numbers none share, a limit of
// attempts all keep.
#include <QJsonObject>
#include <QSet>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using namespace pairwick::ledger::testing;

void TestLedger::joinsOneBatchFromManyStations_data() {
    backends();
}

void TestLedger::joinsOneBatchFromManyStations() {
    QFETCH(QString, backend);
    const LedgerLocation location = *parseLedgerUrl(freshUrl(backend), nullptr);
    { Ledger prepared(location, QStringLiteral("prepare")); }
    constexpr int Stations = 4;
    std::array<bool, Stations> created{};
    std::array<QJsonObject, Stations> rules{};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int station = 0; station < Stations; ++station) {
        threads.emplace_back(QThread::create([&, station] {
            Ledger ledger(location, QStringLiteral("join"));
            rules[station] =
                ledger.joinBatch(QStringLiteral("B1"), {{QStringLiteral("station"), station}}, 100,
                                 &created[station]);
        }));
        threads.back()->start();
    }
    for (auto &thread : threads)
        QVERIFY(thread->wait(30000));
    QCOMPARE(std::count(created.begin(), created.end(), true), 1);
    const int winner = int(std::find(created.begin(), created.end(), true) - created.begin());
    for (const QJsonObject &joined : rules)
        QCOMPARE(joined.value(QStringLiteral("station")).toInt(), winner);

    Ledger ledger(location, QStringLiteral("check"));
    bool again = true;
    ledger.joinBatch(QStringLiteral("B1"), {}, 5, &again);
    QVERIFY(!again);
    QCOMPARE(ledger.batches().size(), 1);
    QCOMPARE(ledger.batches().constFirst().first, 100);
    QCOMPARE(ledger.batchRules(QStringLiteral("B1"))->value(QStringLiteral("station")).toInt(),
             winner);
    QVERIFY(!ledger.batchRules(QStringLiteral("B2")));
}

void TestLedger::rejectsAUnitAtTheBatchsLimit_data() {
    backends();
}

// The second failure of a batch with a limit of two rejects the unit: kept as rejected and
// counted, its next visit recorded as a rejected attempt with its operator, and nothing reserved.
void TestLedger::rejectsAUnitAtTheBatchsLimit() {
    QFETCH(QString, backend);
    Ledger ledger(*parseLedgerUrl(freshUrl(backend), nullptr), QStringLiteral("main"));
    ledger.joinBatch(QStringLiteral("B1"), QJsonObject{{"maxAttempts", 2}}, 1, nullptr);
    int calls = 0;
    const QString address = QStringLiteral("0A:11:22:33:44:01");
    for (int visit = 0; visit < 2; ++visit) {
        AttemptStart start = startAt(address, QStringLiteral("s1"), QStringLiteral("1"),
                                     Morning.addSecs(60 * visit));
        start.operatorName = QStringLiteral("Ana");
        QCOMPARE(ledger.beginAttempt(start, false, 0, valuesNamed(&calls)).outcome,
                 Reservation::Outcome::Reserved);
        AttemptEnd end = endOf(start, AttemptResult::Failed);
        end.step = QStringLiteral("write:pin");
        end.error = QStringLiteral("error-reply");
        end.detail = QStringLiteral("\"ERROR\"");
        ledger.finishAttempt(end);
        QCOMPARE(unitsOf(ledger).constFirst().state, visit == 0 ? "failed" : "rejected");
    }
    AttemptStart again =
        startAt(address, QStringLiteral("s2"), QStringLiteral("1"), Morning.addSecs(180));
    again.operatorName = QStringLiteral("Bo");
    const Reservation rejected = ledger.beginAttempt(again, true, 0, valuesNamed(&calls));
    QCOMPARE(rejected.outcome, Reservation::Outcome::Rejected);
    QCOMPARE(rejected.unit.seq, 1);
    QCOMPARE(rejected.attempts, 3);
    const BatchTotals totals = ledger.totals(QStringLiteral("B1"));
    QCOMPARE(QList<qint64>({totals.units, totals.failed, totals.rejected}),
             QList<qint64>({1, 0, 1}));
    Selection ofRejected;
    ofRejected.state = QStringLiteral("rejected");
    QCOMPARE(unitsOf(ledger, ofRejected).size(), 1);
    QStringList attempts;
    for (const AttemptRow &attempt : attemptsOf(ledger))
        attempts << QStringList{attempt.result, attempt.operatorName, attempt.step, attempt.error,
                                attempt.detail}
                        .join(u'|');
    QCOMPARE(attempts,
             QStringList({"failed|Ana|write:pin|error-reply|\"ERROR\"",
                          "failed|Ana|write:pin|error-reply|\"ERROR\"", "rejected|Bo|||"}));
    QCOMPARE(disagreementsOf(ledger), QStringList());
}

void TestLedger::threadsNeverShareANumber_data() {
    backends();
}

void TestLedger::threadsNeverShareANumber() {
    QFETCH(QString, backend);
    const LedgerLocation location = *parseLedgerUrl(freshUrl(backend), nullptr);
    Ledger ledger(location, QStringLiteral("main"));
    ledger.joinBatch(QStringLiteral("B1"), {}, 1, nullptr);
    constexpr int Threads = 4;
    constexpr int PerThread = 12;
    std::array<QList<qint64>, Threads> numbers;
    std::array<QString, Threads> failures;
    std::vector<std::unique_ptr<QThread>> threads;
    for (int index = 0; index < Threads; ++index) {
        threads.emplace_back(QThread::create([&, index] {
            try {
                Ledger own(location, QStringLiteral("worker"));
                int calls = 0;
                for (int unit = 0; unit < PerThread; ++unit) {
                    const AttemptStart start =
                        startAt(QStringLiteral("02:00:00:00:%1:%2")
                                    .arg(index)
                                    .arg(unit, 2, 10, QChar(u'0')),
                                QStringLiteral("s%1").arg(index), QStringLiteral("1"), Morning);
                    numbers[index].append(
                        own.beginAttempt(start, false, 0, valuesNamed(&calls)).unit.seq);
                }
            } catch (const LedgerError &error) {
                failures[index] = error.message();
            }
        }));
        threads.back()->start();
    }
    for (auto &thread : threads)
        QVERIFY(thread->wait(60000));
    QSet<qint64> distinct;
    for (int index = 0; index < Threads; ++index) {
        QVERIFY2(failures[index].isEmpty(), qPrintable(failures[index]));
        for (qint64 number : numbers[index])
            distinct.insert(number);
    }
    QCOMPARE(distinct.size(), Threads * PerThread);
    QCOMPARE(*std::max_element(distinct.begin(), distinct.end()), Threads * PerThread);
    QCOMPARE(attemptsOf(ledger, inBatch(QStringLiteral("B1"))).size(), Threads * PerThread);
    QCOMPARE(ledger.totals(QStringLiteral("B1")).units, Threads * PerThread);
    QCOMPARE(disagreementsOf(ledger), QStringList());
}
