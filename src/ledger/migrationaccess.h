// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ledger/migrationprogress.h"

class QSqlDatabase;
class QString;

namespace pairwick::ledger {

// PostgreSQL: whether the connection's login owns the ledger's tables (or is a superuser, or a
// member of their owner's role), so that it may change the schema and grant rights on it.
bool callerOwnsLedger(const QSqlDatabase &database);

// PostgreSQL, before a migration from version: throws SchemaRefused, naming whose job it is,
// unless the caller owns the ledger.
void ensureMayMigrate(const QSqlDatabase &database, int version, const QString &url);

// PostgreSQL, inside the migration's transaction: takes the lock that keeps every other opener
// out until it ends, telling watch (when given) while another opener holds it.
void lockOutOtherOpeners(const QSqlDatabase &database, const MigrationWatch &watch);

}  // namespace pairwick::ledger
