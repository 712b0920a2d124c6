// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Parts of serverFunctions(): who may change an attempt, and the small functions a station calls
// besides a reservation and an end.
namespace pairwick::ledger {

QStringList callerChecks();
QStringList stationCalls();

}  // namespace pairwick::ledger
