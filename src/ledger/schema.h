// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "ledger/ledger.h"

class QSqlDatabase;

namespace pairwick::ledger {

inline constexpr int SchemaVersion = 4;

// Told as it is: no retry or reconnection can help it.
class NewerSchema : public LedgerError {
public:
    using LedgerError::LedgerError;
};

// Inside the caller's write transaction: creates the schema in a new database or brings an older
// one up to date. Throws LedgerError for a version newer than this program knows.
void bringSchemaUpToDate(const QSqlDatabase &database, bool sqlite, const QString &url);

}  // namespace pairwick::ledger
