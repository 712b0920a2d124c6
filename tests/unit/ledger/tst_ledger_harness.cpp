// SPDX-License-Identifier: GPL-3.0-or-later
// The fixture the groups share: fresh ledgers of either kind, reached behind the ledger's back
// too, and their records read back as text.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include "tst_ledger.h"

using namespace pairwick;
using namespace pairwick::ledger;
using settings::Key;

namespace pairwick::ledger::testing {

AttemptStart startAt(const QString &address, const QString &station, const QString &slot,
                     const QDateTime &when) {
    AttemptStart start;
    start.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    start.batch = QStringLiteral("B1");
    start.address = address;
    start.station = station;
    start.slot = slot;
    start.device = QStringLiteral("/dev/ttyUSB") + slot;
    start.started = when;
    start.found.set(Key::Address, address);
    return start;
}

AttemptEnd endOf(const AttemptStart &start, AttemptResult result, qint64 afterMs) {
    AttemptEnd end;
    end.id = start.id;
    end.ended = start.started.addMSecs(afterMs);
    end.result = result;
    end.version = QStringLiteral("v2.1");
    end.written = {Key::Name, Key::Pin};
    return end;
}

Ledger::ValuesFor valuesNamed(int *calls) {
    return [calls](qint64 seq) -> std::variant<settings::AdapterSettings, QString> {
        ++*calls;
        settings::AdapterSettings values;
        values.set(Key::Name, QStringLiteral("Unit-%1").arg(seq));
        values.set(Key::Pin, QString::number(1000 + seq));
        return values;
    };
}

Selection inBatch(const QString &batch, const QDateTime &since) {
    Selection selection;
    selection.batch = batch;
    selection.since = since;
    return selection;
}

QList<UnitRow> unitsOf(Ledger &ledger, const Selection &selection) {
    QList<UnitRow> rows;
    ledger.units(selection, [&rows](const UnitRow &unit) { rows.append(unit); });
    return rows;
}

QList<AttemptRow> attemptsOf(Ledger &ledger, const Selection &selection) {
    QList<AttemptRow> rows;
    ledger.attempts(selection, [&rows](const AttemptRow &attempt) { rows.append(attempt); });
    return rows;
}

QStringList disagreementsOf(Ledger &ledger) {
    QStringList found;
    const qint64 count = ledger.check([&found](const QString &text) { found.append(text); });
    if (count != found.size())
        found.append(QStringLiteral("told %1, counted %2").arg(found.size()).arg(count));
    return found;
}

QStringList yieldOf(Ledger &ledger) {
    YieldQuery query;
    query.by = YieldGrouping::Slot;
    const YieldReport report = ledger.yieldReport(query);
    const auto figures = [](const YieldFigures &f) {
        return QStringLiteral("%1/%2/%3/%4/%5 %6")
            .arg(f.units)
            .arg(f.firstPass)
            .arg(f.passed)
            .arg(f.retests)
            .arg(f.rejected)
            .arg(f.medianSeconds ? QString::number(*f.medianSeconds) : QStringLiteral("-"));
    };
    QStringList lines;
    for (const YieldGroup &group : report.groups)
        lines << group.station + u'/' + group.slot + u' ' + figures(group.figures);
    lines << QStringLiteral("total ") + figures(report.total);
    for (const FailureCount &failure : report.failures)
        lines << QStringLiteral("%1|%2 %3 %4")
                     .arg(failure.step, failure.error)
                     .arg(failure.count)
                     .arg(failure.share);
    if (report.mayBeStale)
        lines << QStringLiteral("may be stale");
    return lines;
}

QStringList reportsOf(Ledger &ledger) {
    QStringList lines = yieldOf(ledger);
    for (const BatchSummary &batch : ledger.batches())
        lines << QStringLiteral("%1 %2-%3 %4/%5/%6/%7 %8 %9 %10")
                     .arg(batch.name)
                     .arg(batch.first)
                     .arg(batch.next)
                     .arg(batch.totals.units)
                     .arg(batch.totals.passed)
                     .arg(batch.totals.failed)
                     .arg(batch.totals.interrupted)
                     .arg(batch.stations.join(u','),
                          batch.firstActivity.toString(Qt::ISODateWithMs),
                          batch.lastActivity.toString(Qt::ISODateWithMs));
    for (const UnitRow &unit : unitsOf(ledger))
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 %7/%8 %9 %10 %11 %12")
                     .arg(unit.batch)
                     .arg(unit.seq)
                     .arg(unit.name, unit.pin, unit.address, unit.state, unit.station, unit.slot)
                     .arg(unit.attempts)
                     .arg(unit.version, unit.first.toString(Qt::ISODateWithMs),
                          unit.latest.toString(Qt::ISODateWithMs));
    return lines;
}

}  // namespace pairwick::ledger::testing

void TestLedger::backends() {
    QTest::addColumn<QString>("backend");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

QString TestLedger::freshUrl(const QString &backend) {
    const QString name = QStringLiteral("ledger%1").arg(++m_databases);
    if (backend == u"sqlite")
        return QStringLiteral("sqlite:") + m_folder.filePath(name + QStringLiteral(".sqlite"));
    const QString url = m_postgres->createDatabase(name);
    if (url.isEmpty())
        qFatal("%s", qPrintable(m_postgres->problem()));
    return url;
}

// Behind the ledger's back, as another program (or a newer pairwick) would; removed with
// QSqlDatabase::removeDatabase("raw") once the caller is done with it.
QSqlDatabase TestLedger::rawDatabase(const QString &url) {
    const std::optional<LedgerLocation> location = parseLedgerUrl(url, nullptr);
    const bool sqlite = location->kind == LedgerLocation::Kind::Sqlite;
    QSqlDatabase db = QSqlDatabase::addDatabase(
        sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), QStringLiteral("raw"));
    db.setDatabaseName(sqlite ? location->path : location->database);
    db.setHostName(location->host);
    db.setUserName(location->user);
    if (!db.open())
        qFatal("%s", qPrintable(db.lastError().text()));
    return db;
}

// The ledger as it was before the yield was kept: what its migration must build again.
void TestLedger::undoYieldRollups(const QString &url, const QString &backend) {
    const bool sqlite = backend == u"sqlite";
    execRaw(url, QStringLiteral("DROP TRIGGER yield_on_end") +
                     (sqlite ? QString() : QStringLiteral(" ON attempts")));
    execRaw(url, QStringLiteral("DROP TRIGGER yield_on_rejected") +
                     (sqlite ? QString() : QStringLiteral(" ON units")));
    for (const char *statement :
         {"DROP TABLE yield_cohorts", "DROP TABLE yield_durations", "DROP TABLE yield_failures",
          "ALTER TABLE units DROP COLUMN cohort_station",
          "ALTER TABLE units DROP COLUMN cohort_slot",
          "ALTER TABLE units DROP COLUMN cohort_operator",
          "ALTER TABLE units DROP COLUMN cohort_hour"})
        execRaw(url, QLatin1String(statement));
}

void TestLedger::execRaw(const QString &url, const QString &sql) {
    {
        QSqlQuery query(rawDatabase(url));
        QVERIFY2(query.exec(sql), qPrintable(sql));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}
