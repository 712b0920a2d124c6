// SPDX-License-Identifier: GPL-3.0-or-later
// What the ledger tells people: the totals, batches, units and attempts it holds.
#include "ledger/ledger.h"

#include <QCoreApplication>
#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

// A unit that passed once counts as passed whatever came after; the others count by their latest
// real attempt ("already" only visits a passed unit).
const QString TotalsSql = QStringLiteral(
    "SELECT COUNT(*), COALESCE(SUM(passed), 0),"
    " COALESCE(SUM(CASE WHEN passed = 0 AND latest = 'failed' THEN 1 ELSE 0 END), 0),"
    " COALESCE(SUM(CASE WHEN passed = 0 AND latest = 'interrupted' THEN 1 ELSE 0 END), 0)"
    " FROM (SELECT"
    "  CASE WHEN EXISTS (SELECT 1 FROM attempts p WHERE p.batch = u.batch AND p.seq = u.seq"
    "                    AND p.result = 'passed') THEN 1 ELSE 0 END AS passed,"
    "  (SELECT l.result FROM attempts l WHERE l.batch = u.batch AND l.seq = u.seq"
    "   AND l.result <> 'already' ORDER BY l.started DESC, l.id DESC LIMIT 1) AS latest"
    "  FROM units u WHERE u.batch = :batch) AS unit_states");

const QString BatchesSql = QStringLiteral(
    "SELECT b.name, b.first_seq, b.next_seq, b.created,"
    " (SELECT MIN(a.started) FROM attempts a WHERE a.batch = b.name),"
    " (SELECT MAX(COALESCE(a.ended, a.started)) FROM attempts a WHERE a.batch = b.name)"
    " FROM batches b ORDER BY b.created, b.name");

const QString StationsSql =
    QStringLiteral("SELECT DISTINCT station FROM attempts WHERE batch = :batch ORDER BY station");

const QString UnitsSql = QStringLiteral(
    "SELECT u.batch, u.seq, u.address, u.unit_values, u.created,"
    " CASE WHEN EXISTS (SELECT 1 FROM attempts p WHERE p.batch = u.batch AND p.seq = u.seq"
    "                   AND p.result = 'passed') THEN 1 ELSE 0 END,"
    " l.result, l.station, l.slot,"
    " (SELECT COUNT(*) FROM attempts c WHERE c.batch = u.batch AND c.seq = u.seq),"
    " (SELECT v.version FROM attempts v WHERE v.batch = u.batch AND v.seq = u.seq"
    "  AND v.version <> '' ORDER BY v.started DESC LIMIT 1),"
    " (SELECT MIN(f.started) FROM attempts f WHERE f.batch = u.batch AND f.seq = u.seq),"
    " (SELECT MAX(COALESCE(f.ended, f.started)) FROM attempts f"
    "  WHERE f.batch = u.batch AND f.seq = u.seq)"
    " FROM units u LEFT JOIN attempts l ON l.id = (SELECT a.id FROM attempts a"
    "  WHERE a.batch = u.batch AND a.seq = u.seq ORDER BY a.started DESC, a.id DESC LIMIT 1)"
    " WHERE (:all = 1 OR u.batch = :batch) ORDER BY u.batch, u.seq");

const QString AttemptsSql = QStringLiteral(
    "SELECT id, batch, seq, address, station, slot, device, started, ended, result, step, error,"
    " found, read_back, version, written, unchanged, on_pass_status, sent"
    " FROM attempts WHERE (:all = 1 OR batch = :batch) ORDER BY started, id");

// A batch with no attempts yet was last active when it was made.
QDateTime orTime(const QString &stored, const QString &fallback) {
    return timeFromStored(stored.isEmpty() ? fallback : stored);
}

}  // namespace

BatchTotals Ledger::totals(const QString &batch) {
    return d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "统计批次 %1 的模块").arg(batch), [&] {
            SqlStatement query(d->connection.database(), TotalsSql);
            query.bind(QStringLiteral(":batch"), batch).exec().next();
            return BatchTotals{query.number(0), query.number(1), query.number(2), query.number(3)};
        });
}

QList<BatchSummary> Ledger::batches() {
    QList<BatchSummary> summaries =
        d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出批次"), [&] {
            QList<BatchSummary> found;
            const QSqlDatabase db = d->connection.database();
            SqlStatement query(db, BatchesSql);
            query.exec();
            while (query.next()) {
                BatchSummary summary;
                summary.name = query.text(0);
                summary.first = query.number(1);
                summary.next = query.number(2);
                summary.firstActivity = orTime(query.text(4), query.text(3));
                summary.lastActivity = orTime(query.text(5), query.text(3));
                found.append(summary);
            }
            for (BatchSummary &summary : found) {
                SqlStatement stations(db, StationsSql);
                stations.bind(QStringLiteral(":batch"), summary.name).exec();
                while (stations.next())
                    summary.stations.append(stations.text(0));
            }
            return found;
        });
    for (BatchSummary &summary : summaries)
        summary.totals = totals(summary.name);
    return summaries;
}

QList<UnitRow> Ledger::units(const QString &batch) {
    return d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出模块"), [&] {
        SqlStatement query(d->connection.database(), UnitsSql);
        query.bind(QStringLiteral(":all"), qint64(batch.isEmpty() ? 1 : 0))
            .bind(QStringLiteral(":batch"), batch)
            .exec();
        QList<UnitRow> rows;
        while (query.next()) {
            UnitRow row;
            row.batch = query.text(0);
            row.seq = query.number(1);
            row.address = query.text(2);
            const settings::AdapterSettings values = settingsFromStored(query.text(3));
            row.name = values.value(settings::Key::Name);
            row.pin = values.value(settings::Key::Pin);
            row.state = query.number(5) != 0 ? resultName(AttemptResult::Passed)
                        : query.isNull(6)    ? QStringLiteral("reserved")
                                             : query.text(6);
            row.station = query.text(7);
            row.slot = query.text(8);
            row.attempts = int(query.number(9));
            row.version = query.text(10);
            row.first = orTime(query.text(11), query.text(4));
            row.latest = orTime(query.text(12), query.text(4));
            rows.append(row);
        }
        return rows;
    });
}

QList<AttemptRow> Ledger::attempts(const QString &batch) {
    return d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出尝试"), [&] {
        SqlStatement query(d->connection.database(), AttemptsSql);
        query.bind(QStringLiteral(":all"), qint64(batch.isEmpty() ? 1 : 0))
            .bind(QStringLiteral(":batch"), batch)
            .exec();
        QList<AttemptRow> rows;
        while (query.next()) {
            AttemptRow row;
            row.id = query.text(0);
            row.batch = query.text(1);
            row.seq = query.number(2);
            row.address = query.text(3);
            row.station = query.text(4);
            row.slot = query.text(5);
            row.device = query.text(6);
            row.started = timeFromStored(query.text(7));
            row.ended = timeFromStored(query.text(8));
            row.result = query.text(9);
            row.step = query.text(10);
            row.error = query.text(11);
            row.found = settingsFromStored(query.text(12));
            row.readBack = settingsFromStored(query.text(13));
            row.version = query.text(14);
            row.written = keysFromStored(query.text(15));
            row.unchanged = keysFromStored(query.text(16));
            if (!query.isNull(17))
                row.onPassStatus = int(query.number(17));
            row.sent = keysFromStored(query.text(18));
            rows.append(row);
        }
        return rows;
    });
}

}  // namespace pairwick::ledger
