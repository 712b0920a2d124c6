// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::ledger {

// The labels' table, its indexes and, on PostgreSQL, the function through which a station records
// a label: a schema step of their own.
QStringList labelTableStatements();
QStringList labelServerFunctions();
// What a station's role may execute for its labels.
QString recordLabelCall();

}  // namespace pairwick::ledger
