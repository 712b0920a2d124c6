// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ledger/reservedunit.h"

class QSqlDatabase;

namespace pairwick::ledger {

// A unit's reservation and its end on PostgreSQL: one call of a server function each, so one
// round trip and a transaction of its own.
ReservedUnit reserveOnServer(const QSqlDatabase &db, const AttemptStart &start, bool again,
                             qint64 countLimit);
void finishOnServer(const QSqlDatabase &db, const AttemptEnd &end);

}  // namespace pairwick::ledger
