// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pairwick::cli {

// Rows (the first one the header) in columns two spaces apart, each as wide as its widest cell,
// one line each without trailing blanks.
QString alignedTable(const QList<QStringList> &rows);

}  // namespace pairwick::cli
