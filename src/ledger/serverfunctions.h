// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::ledger {

// The functions a PostgreSQL ledger keeps on the server, so that a unit's reservation and its
// end are one statement each: one round trip to a server that may be far away, and a
// transaction of its own that a pooler in transaction mode never splits. They do what the
// statements of an SQLite ledger do one by one, to the same rows; every value comes to them
// as a bound parameter. Created (or replaced) by a schema step.
// Each of them runs with the rights of the schema's owner (SECURITY DEFINER, its search_path
// fixed as %schema, pg_temp), so a station's role needs no right to change a table; a
// function changes only attempts begun by the login that calls it, unless the owner calls.
QStringList serverFunctions();

// Every function a station calls, and none other: what its role may execute.
QStringList stationCallNames();

}  // namespace pairwick::ledger
