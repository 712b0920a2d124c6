// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ledger/ledgerlocation.h"

namespace pairwick::cli {

// pairwick-cli ledger roles: prints the SQL that makes the ledger's roles, or with apply runs it
// in one transaction as the URL's login, which must own the ledger. Returns the exit status; 4
// when the ledger cannot be opened or the login does not own it.
int runLedgerRoles(const ledger::LedgerLocation &location, bool apply);

}  // namespace pairwick::cli
