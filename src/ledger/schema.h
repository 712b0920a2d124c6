// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "ledger/ledger.h"
#include "ledger/migrationprogress.h"

class QSqlDatabase;

namespace pairwick::ledger {

inline constexpr int SchemaVersion = 8;

// A schema newer than this program knows, or an older one that only its owner may bring up to
// date: told as it is, since no retry or reconnection can help it.
class SchemaRefused : public LedgerError {
public:
    using LedgerError::LedgerError;
};

// Inside the caller's write transaction: creates the schema in a new database or brings an older
// one up to date, telling watch (when given) how far it is and, on PostgreSQL, that it waits for
// another opener's migration. Throws LedgerError for a version newer than this program knows.
void bringSchemaUpToDate(const QSqlDatabase &database, bool sqlite, const QString &url,
                         const MigrationWatch &watch = {});

}  // namespace pairwick::ledger
