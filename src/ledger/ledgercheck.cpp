// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger counted again from its attempts, and compared with what it keeps.
#include <QCoreApplication>
#include <QHash>

#include "ledger/ledger.h"
#include "ledger/ledgerprivate.h"
#include "ledger/sqldialect.h"
#include "ledger/sqlstatement.h"
#include "ledger/yieldschema.h"

namespace pairwick::ledger {

namespace {

// Each unit's state as its attempts tell it, beside the state and count kept on its row.
// A unit that failed as often as its batch allows is rejected, whatever came after.
const QString UnitsRecountSql = QStringLiteral(
    "SELECT u.batch, u.seq, u.state, u.attempts,"
    " CASE WHEN EXISTS (SELECT 1 FROM attempts p WHERE p.batch = u.batch AND p.seq = u.seq"
    "  AND p.result = 'passed') THEN 'passed'"
    " WHEN b.max_attempts > 0 AND b.max_attempts <= (SELECT COUNT(*) FROM attempts f"
    "  WHERE f.batch = u.batch AND f.seq = u.seq AND f.result = 'failed') THEN 'rejected'"
    " ELSE COALESCE((SELECT l.result FROM attempts l WHERE l.batch = u.batch AND l.seq = u.seq"
    "  ORDER BY l.started DESC, l.id DESC LIMIT 1), 'reserved') END,"
    " (SELECT COUNT(*) FROM attempts c WHERE c.batch = u.batch AND c.seq = u.seq)"
    " FROM units u JOIN batches b ON b.name = u.batch ORDER BY u.batch, u.seq");

const QString BatchesKeptSql = QStringLiteral(
    "SELECT name, units, passed, failed, interrupted, rejected FROM batches"
    " ORDER BY name");

// Each names what disagrees in its first columns; the text says how.
struct RecordCheck {
    const char *sql;
    const char *text;
};

const std::array<RecordCheck, 5> RecordChecks{{
    {"SELECT batch, seq FROM units GROUP BY batch, seq HAVING COUNT(*) > 1",
     "batch %1: number %2 was handed out more than once"},
    {"SELECT batch, address FROM units GROUP BY batch, address HAVING COUNT(*) > 1",
     "batch %1: unit %2 has more than one number"},
    {"SELECT u.batch, u.seq FROM units u JOIN batches b ON b.name = u.batch"
     " WHERE u.seq < b.first_seq OR u.seq >= b.next_seq",
     "batch %1: number %2 lies outside the numbers the batch handed out"},
    {"SELECT a.id, a.batch FROM attempts a WHERE NOT EXISTS"
     " (SELECT 1 FROM units u WHERE u.batch = a.batch AND u.seq = a.seq)",
     "attempt %1 in batch %2 has no unit"},
    {"SELECT a.id, a.address FROM attempts a JOIN units u ON u.batch = a.batch AND u.seq = a.seq"
     " WHERE a.address <> u.address",
     "attempt %1 at %2 is recorded on another address's number"},
}};

BatchTotals &operator+=(BatchTotals &totals, const QString &state) {
    ++totals.units;
    totals.passed += state == u"passed";
    totals.failed += state == u"failed";
    totals.interrupted += state == u"interrupted";
    totals.rejected += state == u"rejected";
    return totals;
}

QString countsText(const BatchTotals &totals) {
    const QString counts = QStringLiteral("%1 units, %2 passed, %3 failed, %4 interrupted")
                               .arg(totals.units)
                               .arg(totals.passed)
                               .arg(totals.failed)
                               .arg(totals.interrupted);
    return totals.rejected == 0
               ? counts
               : QStringLiteral("%1, %2 rejected").arg(counts).arg(totals.rejected);
}

}  // namespace

qint64 Ledger::check(const std::function<void(const QString &)> &disagreement) {
    // One snapshot: a unit that stations end between the recount and the kept counts would
    // otherwise read as a disagreement.
    return d->connection.inSnapshot(
        QCoreApplication::translate("pairwick::ledger", "检查台账"), [&] {
            const QSqlDatabase db = d->connection.database();
            qint64 found = 0;
            const auto tell = [&](const QString &text) {
                ++found;
                disagreement(text);
            };
            QHash<QString, BatchTotals> recounted;
            SqlStatement units(db, UnitsRecountSql);
            units.exec();
            while (units.next()) {
                const QString batch = units.text(0);
                const QString state = units.text(4);
                recounted[batch] += state;
                if (units.text(2) != state)
                    tell(QStringLiteral("batch %1: unit %2 is kept as %3, its attempts say %4")
                             .arg(batch)
                             .arg(units.number(1))
                             .arg(units.text(2), state));
                if (units.number(3) != units.number(5))
                    tell(QStringLiteral("batch %1: unit %2 is kept with %3 attempts, %4 recorded")
                             .arg(batch)
                             .arg(units.number(1))
                             .arg(units.number(3))
                             .arg(units.number(5)));
            }
            units.finish();
            SqlStatement batches(db, BatchesKeptSql);
            batches.exec();
            while (batches.next()) {
                const BatchTotals kept{batches.number(1), batches.number(2), batches.number(3),
                                       batches.number(4), batches.number(5)};
                const BatchTotals counted = recounted.value(batches.text(0));
                if (kept != counted)
                    tell(QStringLiteral("batch %1 keeps %2; its records hold %3")
                             .arg(batches.text(0), countsText(kept), countsText(counted)));
            }
            batches.finish();
            for (const YieldRecount &recount : yieldRecounts()) {
                // Rows either side that the other lacks: a kept count moved, or was never kept.
                SqlStatement query(
                    db, QStringLiteral("SELECT DISTINCT %1 FROM ("
                                       "SELECT * FROM (%3) recounted EXCEPT SELECT %2 FROM %4"
                                       " UNION ALL SELECT * FROM (SELECT %2 FROM %4"
                                       " EXCEPT SELECT * FROM (%3) recounted) kept) differing"
                                       " ORDER BY 1, 2")
                            .arg(recount.keyColumns, recount.columns,
                                 dialectOf(recount.recountSql, d->connection.isSqlite()),
                                 recount.table));
                query.exec();
                while (query.next())
                    tell(QStringLiteral("batch %1: the yield kept for the hour %2 (UTC) "
                                        "disagrees with its attempts")
                             .arg(query.text(0), query.text(1)));
            }
            for (const RecordCheck &check : RecordChecks) {
                SqlStatement query(db, QLatin1String(check.sql));
                query.exec();
                while (query.next())
                    tell(QLatin1String(check.text).arg(query.text(0), query.text(1)));
            }
            return found;
        });
}

}  // namespace pairwick::ledger
