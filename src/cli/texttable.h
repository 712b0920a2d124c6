// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pairwick::ledger {
struct LedgerListing;
}

namespace pairwick::cli {

// Rows (the first one the header) in columns two spaces apart, each as wide as its widest cell,
// one line each without trailing blanks.
QString alignedTable(const QList<QStringList> &rows);
// A stored name may hold what a terminal would act on: each cell as it may be shown, inert.
QStringList inertCells(const QStringList &cells);
// One line of a table: each cell padded to its column's width, two spaces between.
QString tableLine(const QStringList &cells, const QList<qsizetype> &widths);
// A listing of the ledger for people: its columns in capitals over its cells.
QString listingTable(const ledger::LedgerListing &listing);

}  // namespace pairwick::cli
