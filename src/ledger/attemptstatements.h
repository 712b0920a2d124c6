// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ledger/reservedunit.h"

class QSqlDatabase;

namespace pairwick::ledger {

// A unit's reservation and its end statement by statement, inside the caller's write
// transaction: for SQLite, where a statement costs no round trip.
ReservedUnit reserveByStatements(const QSqlDatabase &db, const AttemptStart &start, bool again,
                                 qint64 countLimit);
void finishByStatements(const QSqlDatabase &db, const AttemptEnd &end);

}  // namespace pairwick::ledger
