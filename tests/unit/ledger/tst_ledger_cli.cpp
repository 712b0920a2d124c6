// SPDX-License-Identifier: GPL-3.0-or-later
// What leaves the ledger for people and other programs: CSV cells, and the built command line
// against small and large ledgers.
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <tuple>

#include "ledger/csvtable.h"
#include "ledger/sqldialect.h"
#include "ledger/yieldschema.h"
#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using namespace pairwick::ledger::testing;
using settings::Key;

void TestLedger::neutralisesCsvCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cell");
    QTest::newRow("plain") << "Unit-7"
                           << "Unit-7";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quote") << "say \"hi\""
                           << "\"say \"\"hi\"\"\"";
    QTest::newRow("line break") << "two\nlines"
                                << "\"two\nlines\"";
    QTest::newRow("formula") << "=1+2"
                             << "'=1+2";
    QTest::newRow("plus") << "+49"
                          << "'+49";
    QTest::newRow("minus") << "-1"
                           << "'-1";
    QTest::newRow("at") << "@SUM(A1)"
                        << "'@SUM(A1)";
    QTest::newRow("tab") << "\tx"
                         << "'\tx";
    QTest::newRow("carriage return") << "\rx"
                                     << "\"'\rx\"";
    QTest::newRow("formula with comma") << "=A1,B1"
                                        << "\"'=A1,B1\"";
    QTest::newRow("sign inside") << "a=b"
                                 << "a=b";
}

void TestLedger::neutralisesCsvCells() {
    QFETCH(QString, text);
    QFETCH(QString, cell);
    QCOMPARE(csvCell(text), cell);
    QCOMPARE(csvLine({QStringLiteral("h"), text}), QStringLiteral("h,") + cell + "\r\n");
}

// The built program against a prepared file: CSV a spreadsheet can open safely, JSON, and 4 for
// a ledger that is not there, which listing must not create.
void TestLedger::cliListsALedger() {
    const QString path = m_folder.filePath(QStringLiteral("listed.sqlite"));
    const QString url = QStringLiteral("sqlite:") + path;
    {
        Ledger ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("prepare"));
        ledger.joinBatch(QStringLiteral("B1"), {}, 7, nullptr);
        const AttemptStart start = startAt(QStringLiteral("0A:00:00:00:00:07"),
                                           QStringLiteral("s1"), QStringLiteral("2"), Morning);
        ledger.beginAttempt(start, false, 0,
                            [](qint64) -> std::variant<settings::AdapterSettings, QString> {
                                settings::AdapterSettings values;
                                values.set(Key::Name, QStringLiteral("=HYPERLINK(\"x\",1)"));
                                values.set(Key::Pin, QStringLiteral("0042"));
                                return values;
                            });
        ledger.finishAttempt(endOf(start, AttemptResult::Passed));
    }
    const auto run = [](const QStringList &arguments) {
        QProcess cli;
        cli.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
        cli.waitForFinished(30000);
        return std::tuple{cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
    };
    const auto [csvStatus, csv, csvErrors] = run({"ledger", "units", "--csv", "--ledger", url});
    QCOMPARE(csvStatus, 0);
    const QList<QByteArray> lines = csv.split('\n');
    QCOMPARE(
        lines.value(0),
        "batch,seq,name,pin,address,state,station,slot,attempts,version,first,latest,labels\r");
    QCOMPARE(lines.value(1),
             "B1,7,\"'=HYPERLINK(\"\"x\"\",1)\",0042,0A:00:00:00:00:07,passed,s1,2,"
             "1,v2.1,2026-12-08T10:15:03.215Z,2026-12-08T10:15:08.215Z,0\r");
    QCOMPARE(lines.size(), 3);

    // A stored name reaches a terminal inert; a listing that cannot be written says so.
    execRaw(url, QStringLiteral("UPDATE units SET station = 's1\x1b[2J'"));
    const auto [tableStatus, table, tableErrors] = run({"ledger", "units", "--ledger", url});
    QCOMPARE(tableStatus, 0);
    QVERIFY2(table.contains("s1\\x1b[2J") && !table.contains('\x1b'), table.constData());
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(PAIRWICK_CLI_PATH), {"ledger", "units", "--ledger", url});
    QVERIFY(full.waitForFinished(30000));
    QCOMPARE(full.exitCode(), 1);
    QVERIFY(full.readAllStandardError().contains("the listing could not all be written"));

    const auto [jsonStatus, json, jsonErrors] =
        run({"ledger", "batches", "--json", "--ledger", url});
    QCOMPARE(jsonStatus, 0);
    const QJsonObject batch =
        QJsonDocument::fromJson(json).object().value("batches").toArray().first().toObject();
    QCOMPARE(batch.value("batch").toString(), QStringLiteral("B1"));
    QCOMPARE(batch.value("next").toInt(), 8);
    QCOMPARE(batch.value("passed").toInt(), 1);
    QCOMPARE(batch.value("stations").toArray(), QJsonArray({"s1"}));

    const QString missing = m_folder.filePath(QStringLiteral("missing/ledger.sqlite"));
    const auto [missingStatus, nothing, reason] =
        run({"ledger", "units", "--ledger", QStringLiteral("sqlite:") + missing});
    QCOMPARE(missingStatus, 4);
    QVERIFY2(reason.contains("no ledger file"), reason.constData());
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(std::get<0>(run({"ledger", "units", "--csv", "--json"})), 2);
}

// A year's batch in small, filled through SQL as the station would have left it: one unit in a
// thousand failed, one in twenty passed after a failed attempt. The counts, the count check, the
// recount and the listing's ends come out right, and the listing holds no more of the batch in
// memory than a short one would.
void TestLedger::cliAnswersALargeLedger() {
    constexpr int Units = 40000;
    constexpr int Failed = Units / 1000;
    const QString url = freshUrl(QStringLiteral("sqlite"));
    Ledger ledger(*parseLedgerUrl(url, nullptr), QStringLiteral("large"));
    ledger.joinBatch(QStringLiteral("big"), {}, 1, nullptr);
    execRaw(url,
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                " INSERT INTO units (batch, seq, address, unit_values, values_problem, created,"
                " name, state, latest_attempt, station, slot, attempts, version, latest)"
                " SELECT 'big', i, printf('0B:00:00:%02X:%02X:%02X', i / 65536, i / 256 % 256,"
                " i % 256), json_object('name', 'Big-' || i, 'pin', printf('%04d', i % 10000)),"
                " '', strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', '+' || (i * 10) || ' seconds'),"
                " 'Big-' || i, CASE WHEN i % 1000 = 7 THEN 'failed' ELSE 'passed' END, 'p' || i,"
                " 's1', '1', CASE WHEN i % 20 = 0 THEN 2 ELSE 1 END, 'v1',"
                " strftime('%Y-%m-%dT%H:%M:%fZ', '2026-01-01', '+' || (i * 10 + 5) || ' seconds')"
                " FROM n")
                .arg(Units));
    execRaw(url, QStringLiteral(
                     "INSERT INTO attempts (id, batch, seq, address, station, slot, device,"
                     " started, ended, result, found, version)"
                     " SELECT 'p' || seq, batch, seq, address, 's1', '1', '/dev/ttyUSB0',"
                     " strftime('%Y-%m-%dT%H:%M:%fZ', created, '+2 seconds'), latest, state, '{}',"
                     " 'v1' FROM units"
                     " UNION ALL SELECT 'f' || seq, batch, seq, address, 's1', '1', '/dev/ttyUSB0',"
                     " created, strftime('%Y-%m-%dT%H:%M:%fZ', created, '+1 seconds'), 'failed',"
                     " '{}', 'v1' FROM units WHERE seq % 20 = 0"));
    execRaw(url,
            QStringLiteral("UPDATE batches SET next_seq = %1 + 1, units = %1, passed = %1 - %2,"
                           " failed = %2, first_activity = (SELECT MIN(started) FROM attempts),"
                           " last_activity = (SELECT MAX(ended) FROM attempts)")
                .arg(Units)
                .arg(Failed));
    execRaw(url, QStringLiteral("INSERT INTO batch_stations VALUES ('big', 's1')"));
    for (const YieldRecount &recount : yieldRecounts())
        execRaw(url, QStringLiteral("INSERT INTO %1 (%2) SELECT * FROM (%3) recounted")
                         .arg(recount.table, recount.columns, dialectOf(recount.recountSql, true)));

    // The station's count check: the batch is full at its passed units, and takes one more.
    int calls = 0;
    const qint64 passed = Units - Failed;
    AttemptStart next = startAt(QStringLiteral("0C:00:00:00:00:01"), QStringLiteral("s2"),
                                QStringLiteral("1"), Morning);
    next.batch = QStringLiteral("big");
    QCOMPARE(ledger.beginAttempt(next, false, passed, valuesNamed(&calls)).outcome,
             Reservation::Outcome::CountReached);
    const Reservation reserved = ledger.beginAttempt(next, false, passed + 1, valuesNamed(&calls));
    QCOMPARE(reserved.outcome, Reservation::Outcome::Reserved);
    QCOMPARE(reserved.unit.seq, Units + 1);
    ledger.finishAttempt(endOf(next, AttemptResult::Passed));
    ledger.finishAttempt(endOf(next, AttemptResult::Passed));
    const BatchTotals totals = ledger.totals(QStringLiteral("big"));
    QCOMPARE(QList<qint64>({totals.units, totals.passed, totals.failed, totals.interrupted}),
             QList<qint64>({Units + 1, passed + 1, Failed, 0}));

    const auto run = [](const QStringList &arguments) {
        QProcess cli;
        cli.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
        cli.waitForFinished(60000);
        return std::pair{cli.exitCode(), cli.readAllStandardOutput()};
    };
    const auto [batchesStatus, batches] = run({"ledger", "batches", "--json", "--ledger", url});
    QCOMPARE(batchesStatus, 0);
    const QJsonObject batch =
        QJsonDocument::fromJson(batches).object().value("batches").toArray().first().toObject();
    QCOMPARE(batch.value("units").toInteger(), Units + 1);
    QCOMPARE(batch.value("failed").toInteger(), Failed);
    QCOMPARE(batch.value("stations").toArray(), QJsonArray({"s1", "s2"}));
    QCOMPARE(run({"ledger", "check", "--ledger", url}),
             std::pair(0, QByteArray("the ledger agrees with its records\n")));

    // Its peak memory is read while it still runs: the rest of its output waits in a full pipe.
    QProcess listing;
    listing.start(QStringLiteral(PAIRWICK_CLI_PATH),
                  {"ledger", "units", "--csv", "--batch", "big", "--ledger", url});
    QByteArray csv;
    const QByteArray nearTheEnd = QStringLiteral("\nbig,%1,").arg(Units - 3000).toUtf8();
    while (!csv.contains(nearTheEnd) && listing.waitForReadyRead(60000))
        csv += listing.readAllStandardOutput();
    QFile status(QStringLiteral("/proc/%1/status").arg(listing.processId()));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+) kB"));
    [[maybe_unused]] const qint64 peakKiB =
        peak.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
    QVERIFY(listing.waitForFinished(60000));
    csv += listing.readAllStandardOutput();
    QCOMPARE(listing.exitCode(), 0);
    // AddressSanitizer keeps freed memory in its quarantine (256 MiB by default), so there the
    // peak tells nothing of what the listing holds; the normal build measures it.
#ifndef __SANITIZE_ADDRESS__
    QVERIFY2(peakKiB > 0 && peakKiB < 50 * 1024, qPrintable(QString::number(peakKiB)));
#endif
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    QCOMPARE(lines.size(), Units + 2);
    QCOMPARE(lines[1],
             "big,1,Big-1,0001,0B:00:00:00:00:01,passed,s1,1,1,v1,"
             "2026-01-01T00:00:10.000Z,2026-01-01T00:00:15.000Z,0\r");
    QCOMPARE(lines[7],
             "big,7,Big-7,0007,0B:00:00:00:00:07,failed,s1,1,1,v1,"
             "2026-01-01T00:01:10.000Z,2026-01-01T00:01:15.000Z,0\r");
    QCOMPARE(lines.last(),
             "big,40001,Unit-40001,41001,0C:00:00:00:00:01,passed,s2,1,1,v2.1,"
             "2026-12-08T10:15:03.215Z,2026-12-08T10:15:08.215Z,0");

    // Only the units active since the last of the filled ones ended: one object a line.
    const auto [recentStatus, recent] =
        run({"ledger", "units", "--json", "--since", "2026-01-05T15:06:36Z", "--ledger", url});
    QCOMPARE(recentStatus, 0);
    const QList<QByteArray> objects = recent.trimmed().split('\n');
    QCOMPARE(objects.size(), 2);
    QCOMPARE(QJsonDocument::fromJson(objects[0]).object().value("seq").toInteger(), Units);
    QCOMPARE(QJsonDocument::fromJson(objects[1]).object().value("name").toString(),
             QStringLiteral("Unit-40001"));

    // The window's table: a page of the units in a state, a search, an order of its own.
    const auto seqs = [&](const std::function<void(Selection &)> &narrow) {
        Selection selection = inBatch(QStringLiteral("big"));
        selection.limit = 4;
        narrow(selection);
        QList<qint64> found;
        for (const UnitRow &unit : unitsOf(ledger, selection))
            found.append(unit.seq);
        return found;
    };
    QCOMPARE(seqs([](Selection &) {}), QList<qint64>({1, 2, 3, 4}));
    QCOMPARE(seqs([](Selection &s) { s.offset = 39999; }), QList<qint64>({40000, 40001}));
    QCOMPARE(seqs([](Selection &s) { s.descending = true; }),
             QList<qint64>({40001, 40000, 39999, 39998}));
    QCOMPARE(seqs([](Selection &s) { s.state = "failed"; }), QList<qint64>({7, 1007, 2007, 3007}));
    QCOMPARE(seqs([](Selection &s) { s.search = "BIG-3999"; }),
             QList<qint64>({3999, 39990, 39991, 39992}));
    QCOMPARE(seqs([](Selection &s) { s.search = "0b-00-00-00-01-0a"; }), QList<qint64>({266}));
    QCOMPARE(seqs([](Selection &s) { s.search = "40001"; }), QList<qint64>({40001}));
    QCOMPARE(seqs([](Selection &s) { s.search = "_%"; }), QList<qint64>());
    // By the beginning only: an address without its separators, never the middle of a name.
    QCOMPARE(seqs([](Selection &s) { s.search = "0b00000001"; }),
             QList<qint64>({256, 257, 258, 259}));
    QCOMPARE(seqs([](Selection &s) { s.search = "ig-3999"; }), QList<qint64>());
    // More matches than are looked up one by one: the listing's own order, skipping the rest.
    QCOMPARE(seqs([](Selection &s) {
                 s.search = "big";
                 s.descending = true;
             }),
             QList<qint64>({40000, 39999, 39998, 39997}));
    QCOMPARE(seqs([](Selection &s) {
                 s.order = UnitOrder::Name;
                 s.descending = true;
                 s.limit = 1;
             }),
             QList<qint64>({40001}));
    QCOMPARE(seqs([](Selection &s) {
                 s.order = UnitOrder::Attempts;
                 s.descending = true;
                 s.state = "passed";
                 s.limit = 2;
             }),
             QList<qint64>({40000, 39980}));
}
