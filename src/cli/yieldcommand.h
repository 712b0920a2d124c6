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

// `ledger report`'s options, or why they cannot be taken.
std::variant<ledger::YieldQuery, QString> parseYieldQuery(const QString &batch,
                                                          const QString &since,
                                                          const QString &until, const QString &by);

int printYieldReport(ledger::Ledger &opened, const ledger::YieldQuery &query,
                     ListingStream::Form form);

}  // namespace pairwick::cli
