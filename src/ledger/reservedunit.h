// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "ledger/ledger.h"

class QSqlDatabase;

namespace pairwick::ledger {

// An attempt left open this long belongs to a station that died; its address is free again.
inline constexpr qint64 StaleAfterMs = 10 * 60 * 1000;
// As stored: attempts that started before this are stale to the given one.
QString staleBefore(const AttemptStart &start);

// A reservation as the database made it. A new unit's values are worked out from its number,
// so they come after it; until they are stored its values column is empty, and a station that
// died in between leaves the unit to be given them at its next attempt.
struct ReservedUnit {
    Reservation reservation;
    bool valuesPending = false;
};

// Stores the values of a unit that has none yet (the first to store them wins) and returns the
// reservation with the values its unit holds. On PostgreSQL the unit is the one of attemptId,
// which the calling login must have begun.
Reservation withValues(const QSqlDatabase &db, const QString &attemptId,
                       const ReservedUnit &reserved, const Ledger::ValuesFor &valuesFor);

}  // namespace pairwick::ledger
