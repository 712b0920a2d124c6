// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pairwick::cli {

// Rows (the first one the header) in columns aligned for people, two spaces apart.
QString alignedTable(const QList<QStringList> &rows);

}  // namespace pairwick::cli
