// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include "ledger/yieldreport.h"

// The yield report as `ledger report` prints it: a table for people, one JSON document, or CSV.
namespace pairwick::cli {

QString yieldTable(const ledger::YieldReport &report, ledger::YieldGrouping by);
QByteArray yieldJson(const ledger::YieldReport &report, ledger::YieldGrouping by);
// One row a group (the total the last, or the only one without --by), then one a failure; the
// first column says which.
QString yieldCsv(const ledger::YieldReport &report, ledger::YieldGrouping by);

}  // namespace pairwick::cli
