// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/yieldcommand.h"

#include "cli/clirequest.h"
#include "cli/commandarguments.h"
#include "cli/output.h"
#include "cli/yieldformat.h"
#include "ledger/ledger.h"

namespace pairwick::cli {

std::variant<ledger::YieldQuery, QString> parseYieldQuery(const QString &batch,
                                                          const QString &since,
                                                          const QString &until, const QString &by) {
    ledger::YieldQuery query;
    query.batch = batch;
    for (const auto &[text, time, option, endOfDay] :
         {std::tuple{since, &query.since, "--since", false},
          std::tuple{until, &query.until, "--until", true}}) {
        if (text.isEmpty())
            continue;
        *time = timeArgument(text, endOfDay);
        if (!time->isValid())
            return QStringLiteral("%1 takes a time in ISO 8601, not %2")
                .arg(QLatin1String(option), text);
    }
    if (query.since.isValid() && query.until.isValid() && query.since > query.until)
        return QStringLiteral("--since %1 comes after --until %2").arg(since, until);
    if (!by.isEmpty()) {
        const std::optional<ledger::YieldGrouping> grouping = ledger::groupingFromName(by);
        if (!grouping)
            return QStringLiteral("--by takes station, slot, operator, hour or day, not %1")
                .arg(by);
        query.by = *grouping;
    }
    return query;
}

int printYieldReport(ledger::Ledger &opened, const ledger::YieldQuery &query,
                     ListingStream::Form form) {
    const ledger::YieldReport report = opened.yieldReport(query);
    if (report.mayBeStale)
        print(stderr, QByteArrayLiteral("pairwick-cli: the yield kept in this ledger disagrees "
                                        "with its batches' counts, so these figures may be "
                                        "stale; run pairwick-cli ledger check\n"));
    switch (form) {
        case ListingStream::Form::JsonLines:
            print(stdout, yieldJson(report, query.by));
            break;
        case ListingStream::Form::Csv:
            print(stdout, yieldCsv(report, query.by).toUtf8());
            break;
        case ListingStream::Form::Table:
            print(stdout, yieldTable(report, query.by).toUtf8());
            break;
    }
    return ExitStatus::Success;
}

}  // namespace pairwick::cli
