// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandarguments.h"

namespace pairwick::cli {

QDateTime timeArgument(const QString &text, bool endOfDay) {
    const QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (text.size() > 10 || time.isValid())
        return time;
    const QDate day = QDate::fromString(text, Qt::ISODate);
    return endOfDay ? day.endOfDay() : day.startOfDay();
}

std::optional<ledger::LedgerLocation> commandLineLedger(const QString &url, QString *error) {
    std::optional<ledger::LedgerLocation> location =
        ledger::parseLedgerUrl(ledger::effectiveLedgerUrl(url), error);
    if (location)
        location->fallbackApplicationName = QStringLiteral("pairwick-cli");
    return location;
}

}  // namespace pairwick::cli
