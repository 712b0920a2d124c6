// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/texttable.h"

#include <algorithm>

#include "ledger/ledgerlisting.h"

namespace pairwick::cli {

QStringList inertCells(const QStringList &cells) {
    QStringList inert;
    for (const QString &cell : cells)
        inert.append(ledger::withControlsEscaped(cell));
    return inert;
}

QString tableLine(const QStringList &cells, const QList<qsizetype> &widths) {
    QString line;
    for (qsizetype column = 0; column < cells.size(); ++column)
        line += cells[column].leftJustified(widths.value(column) + 2);
    return line.trimmed() + u'\n';
}

QString alignedTable(const QList<QStringList> &cells) {
    QList<QStringList> rows;
    for (const QStringList &cellRow : cells)
        rows.append(inertCells(cellRow));
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    QString table;
    for (const QStringList &row : rows)
        table += tableLine(row, widths);
    return table;
}

QString listingTable(const ledger::LedgerListing &listing) {
    QStringList header;
    for (const QString &column : listing.columns)
        header.append(column.toUpper());
    return alignedTable(QList<QStringList>{header} + listing.cellTexts());
}

}  // namespace pairwick::cli
