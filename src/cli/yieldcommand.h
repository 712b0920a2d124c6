// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <variant>

#include "cli/listingstream.h"
#include "ledger/yieldreport.h"

namespace pairwick::ledger {
class Ledger;
}

namespace pairwick::cli {

// A time as the ledger commands take it (ISO 8601, local without a zone). A date alone is its
// day's start, or its end where the time ends a window. Invalid when it is neither.
QDateTime timeArgument(const QString &text, bool endOfDay = false);

// `ledger report`'s options, or why they cannot be taken.
std::variant<ledger::YieldQuery, QString> parseYieldQuery(const QString &batch,
                                                          const QString &since,
                                                          const QString &until, const QString &by);

int printYieldReport(ledger::Ledger &opened, const ledger::YieldQuery &query,
                     ListingStream::Form form);

}  // namespace pairwick::cli
