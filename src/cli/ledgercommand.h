// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::cli {

// pairwick-cli ledger batches|units|check|roles: what a ledger holds, as a table, JSON or CSV,
// its recount, or its roles. Returns the exit status; 4 when the ledger cannot be opened.
int runLedgerCommand(const QStringList &arguments);

}  // namespace pairwick::cli
