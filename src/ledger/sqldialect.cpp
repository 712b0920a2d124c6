// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/sqldialect.h"

#include <QRegularExpression>

#include "ledger/unitsearch.h"

namespace pairwick::ledger {

namespace {

// %tenths(STARTED, ENDED): tenths of a second between two stored times, never below zero
// however the clocks of two stations disagree.
const QRegularExpression TenthsBetween(QStringLiteral(R"(%tenths\(([^,]+), ([^)]+)\))"));

}  // namespace

// The few things SQLite and PostgreSQL spell apart.
QString dialectOf(QString statement, bool sqlite) {
    return statement.replace(QStringLiteral("%nameKey"), nameSearchKey(sqlite))
        .replace(QStringLiteral("%addressKey"), addressSearchKey(sqlite))
        .replace(TenthsBetween, sqlite ? QStringLiteral("MAX(0, CAST(ROUND((julianday(\\2)"
                                                        " - julianday(\\1)) * 864000) AS INTEGER))")
                                       : QStringLiteral("GREATEST(0, round(10 * extract(epoch"
                                                        " FROM (\\2::timestamptz"
                                                        " - \\1::timestamptz)))::bigint)"))
        .replace(QStringLiteral("%name"),
                 sqlite ? QStringLiteral("json_extract(unit_values, '$.name')")
                        : QStringLiteral("(unit_values::json ->> 'name')"));
}

}  // namespace pairwick::ledger
