// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/texttable.h"

#include <algorithm>

#include "ledger/ledgerlisting.h"

namespace pairwick::cli {

QString alignedTable(const QList<QStringList> &cells) {
    // A stored name may hold what a terminal would act on; the table shows it, inert.
    QList<QStringList> rows;
    for (const QStringList &cellRow : cells) {
        QStringList row;
        for (const QString &cell : cellRow)
            row.append(ledger::withControlsEscaped(cell));
        rows.append(row);
    }
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    QString table;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column)
            line += row[column].leftJustified(widths[column] + 2);
        table += line.trimmed() + u'\n';
    }
    return table;
}

QString listingTable(const ledger::LedgerListing &listing) {
    QStringList header;
    for (const QString &column : listing.columns)
        header.append(column.toUpper());
    return alignedTable(QList<QStringList>{header} + listing.cellTexts());
}

}  // namespace pairwick::cli
