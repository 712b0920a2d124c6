// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace pairwick::ledger {

enum class YieldGrouping { Total, Station, Slot, Operator, Hour, Day };
// "station", "slot", "operator", "hour", "day": as given to --by and as a JSON key.
QString groupingName(YieldGrouping grouping);
std::optional<YieldGrouping> groupingFromName(const QString &name);

struct YieldQuery {
    QString batch;    // every batch when empty
    QString station;  // every station when empty
    // Figures are kept by the hour: the window starts at since's hour and ends at the end of
    // until's, local time; an invalid time leaves that side open.
    QDateTime since;
    QDateTime until;
    YieldGrouping by = YieldGrouping::Total;
};

struct YieldFigures {
    qint64 units = 0;      // with an attempt that passed or failed, first in the window
    qint64 firstPass = 0;  // of those, the first such attempt passed
    qint64 passed = 0;     // of those, passed by the window's end
    qint64 retests = 0;    // their attempts after the first, by the window's end
    qint64 rejected = 0;
    std::optional<double> medianSeconds;  // of an attempt that passed in the window
    double firstPassYield() const { return units == 0 ? 0.0 : double(firstPass) / double(units); }
    double yield() const { return units == 0 ? 0.0 : double(passed) / double(units); }
};

// A group as --by names it: the fields it does not group by are empty.
struct YieldGroup {
    QString station;
    QString slot;
    QString operatorName;
    QDateTime hour;  // local, its start
    QDate day;       // local
    YieldFigures figures;
};

struct FailureCount {
    QString step;
    QString error;
    qint64 count = 0;
    double share = 0;  // of every failed attempt in the window
};

struct YieldReport {
    QDateTime since;  // the window as the figures cover it; invalid where open
    QDateTime until;
    QList<YieldGroup> groups;  // in the order of their keys
    YieldFigures total;
    QList<FailureCount> failures;  // most frequent first
    // The batches' kept counts and the yield kept beside them disagree: damage, or a writer
    // that does not keep them. The figures are printed with that said, never as true.
    bool mayBeStale = false;
};

}  // namespace pairwick::ledger
