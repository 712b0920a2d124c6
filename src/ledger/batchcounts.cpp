// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger's counts of its batches, read as kept rather than counted again.
#include <QCoreApplication>

#include "ledger/ledger.h"
#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

const QString TotalsSql = QStringLiteral(
    "SELECT units, passed, failed, interrupted, rejected FROM batches"
    " WHERE name = :batch");

const QString BatchesSql = QStringLiteral(
    "SELECT name, first_seq, next_seq, created, first_activity, last_activity,"
    " units, passed, failed, interrupted, rejected FROM batches ORDER BY created, name");

const QString StationsSql =
    QStringLiteral("SELECT station FROM batch_stations WHERE batch = :batch ORDER BY station");

}  // namespace

BatchTotals Ledger::totals(const QString &batch) {
    return d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "统计批次 %1 的模块").arg(batch), [&] {
            SqlStatement query(d->connection.database(), TotalsSql);
            if (!query.bind(QStringLiteral(":batch"), batch).exec().next())
                return BatchTotals{};
            return BatchTotals{query.number(0), query.number(1), query.number(2), query.number(3),
                               query.number(4)};
        });
}

QList<BatchSummary> Ledger::batches() {
    return d->connection.run(QCoreApplication::translate("pairwick::ledger", "列出批次"), [&] {
        QList<BatchSummary> found;
        const QSqlDatabase db = d->connection.database();
        SqlStatement query(db, BatchesSql);
        query.exec();
        while (query.next()) {
            BatchSummary summary;
            summary.name = query.text(0);
            summary.first = query.number(1);
            summary.next = query.number(2);
            summary.firstActivity = timeFromStoredOr(query.text(4), query.text(3));
            summary.lastActivity = timeFromStoredOr(query.text(5), query.text(3));
            summary.totals = BatchTotals{query.number(6), query.number(7), query.number(8),
                                         query.number(9), query.number(10)};
            found.append(summary);
        }
        query.finish();
        for (BatchSummary &summary : found) {
            SqlStatement stations(db, StationsSql);
            stations.bind(QStringLiteral(":batch"), summary.name).exec();
            while (stations.next())
                summary.stations.append(stations.text(0));
        }
        return found;
    });
}

}  // namespace pairwick::ledger
