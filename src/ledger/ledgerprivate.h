// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ledger/ledger.h"
#include "ledger/ledgerconnection.h"

namespace pairwick::ledger {

// Shared by the ledger's recording and its reports.
class Ledger::Private {
public:
    Private(const LedgerLocation &location, const QString &connectionName, Opening opening,
            MigrationWatch watch)
        : connection(location, connectionName, opening, std::move(watch)) {}
    LedgerConnection connection;
};

}  // namespace pairwick::ledger
