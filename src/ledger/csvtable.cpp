// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/csvtable.h"

namespace pairwick::ledger {

namespace {

bool looksLikeFormula(const QString &text) {
    static const QString Starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && Starts.contains(text.front());
}

}  // namespace

QString csvCell(const QString &text) {
    const QString cell = looksLikeFormula(text) ? u'\'' + text : text;
    const bool needsQuotes =
        cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r');
    if (!needsQuotes)
        return cell;
    return u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csvLine(const QStringList &cells) {
    QString line;
    line.reserve(256);
    for (qsizetype column = 0; column < cells.size(); ++column) {
        if (column > 0)
            line += u',';
        line += csvCell(cells[column]);
    }
    return line += QStringLiteral("\r\n");
}

}  // namespace pairwick::ledger
