// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "ledger/ledgerlocation.h"

// What the ledger and label commands take from their command lines alike; pairwick-cli and
// pairwick-label both compile it in.
namespace pairwick::cli {

// A time as the commands take it (ISO 8601, local without a zone). A date alone is its day's
// start, or its end where the time ends a window. Invalid when it is neither.
QDateTime timeArgument(const QString &text, bool endOfDay = false);

// The ledger a --ledger URL names (the environment's or the default one when empty), as the
// command line connects to it; nothing, and why in error, when the URL is malformed.
std::optional<ledger::LedgerLocation> commandLineLedger(const QString &url, QString *error);

}  // namespace pairwick::cli
