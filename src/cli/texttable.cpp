// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/texttable.h"

namespace pairwick::cli {

QString alignedTable(const QList<QStringList> &rows) {
    QList<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    }
    QString table;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            line += last ? row[column] : row[column].leftJustified(widths[column] + 2);
        }
        table += line.trimmed() + u'\n';
    }
    return table;
}

}  // namespace pairwick::cli
