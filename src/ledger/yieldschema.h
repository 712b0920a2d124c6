// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The line's yield kept by the hour beside the records, so that a report over a year of a
// batch reads a few hundred thousand small rows instead of every attempt. The database keeps
// them itself, by a trigger on the attempts, so that every writer (a station's statements, the
// server's functions, a spool replayed late) moves them in the attempt's own transaction.
//
// A unit belongs to the cohort of its first attempt that passed or failed: that attempt's
// station, slot and operator, and the hour (UTC, "YYYY-MM-DDTHH") it ended. yield_cohorts
// counts, for each cohort and each hour something happened to its units: units and first
// passes (in the cohort's own hour), units that passed for the first time, later attempts
// (retests), and units rejected.
namespace pairwick::ledger {

struct YieldSchemaChanges {
    QStringList statements;  // for both databases, through the schema's dialect placeholders
    QStringList sqliteOnly;
    QStringList postgresOnly;
};

// Makes the tables and the trigger, and counts them once from the attempts already held.
YieldSchemaChanges yieldRollupChanges();

// A kept table beside the same rows counted again from the attempts, in its column order.
struct YieldRecount {
    QString table;
    QString columns;
    QString recountSql;
    QString keyColumns;  // the two that name a disagreement: batch and hour
};
const QList<YieldRecount> &yieldRecounts();

}  // namespace pairwick::ledger
