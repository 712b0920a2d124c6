// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::ledger {

// The group role of the stations.
inline constexpr char StationRole[] = "pairwick_station";
// The group role of those who read the ledger and change nothing.
inline constexpr char AuditorRole[] = "pairwick_auditor";

// PostgreSQL: the statements, run by the ledger's owner, that make the two group roles where
// they are missing and give them what they need and no more: both read every table; a station
// changes the ledger only through the schema's functions (which keep it to the attempts its own
// login began); neither writes a table nor changes the schema. Running them again changes
// nothing more.
QStringList rolesStatements();

}  // namespace pairwick::ledger
