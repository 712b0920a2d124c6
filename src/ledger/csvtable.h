// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace pairwick::ledger {

// One cell as RFC 4180 writes it, quoted where it must be. A cell that a spreadsheet would run as
// a formula (= + - @, a tab or a carriage return first) gets a leading apostrophe: a unit's name
// comes from whoever wrote the values file, and opening the export must not run it.
QString csvCell(const QString &text);

// One row, its cells apart by commas, ended by CRLF.
QString csvLine(const QStringList &cells);

}  // namespace pairwick::ledger
