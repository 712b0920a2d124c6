// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <atomic>
#include <functional>

#include "ledger/ledger.h"
#include "station/stationconfig.h"
#include "station/wakeup.h"

namespace pairwick::station {

class LedgerPool;
class ResultSpool;

struct LedgerStatus {
    bool reachable = true;
    QString problem;
    ledger::BatchTotals batch;  // of every station
    int spooled = 0;            // results that wait to be stored
};

// On a thread of its own, through the station's ledger pool: stores what waits in the spool and
// reads the batch's totals every couple of seconds, so no other thread ever waits for the ledger
// to report.
class LedgerKeeper {
public:
    using Report = std::function<void(const LedgerStatus &)>;

    // stopping rings with stop; slotsWake is rung when the count is reached.
    LedgerKeeper(const StationConfig &config, ResultSpool &spool, LedgerPool &ledger,
                 const std::atomic_bool &stop, const Bell &stopping, std::atomic_bool &countReached,
                 Bell &slotsWake, Report report);

    // Until stop; a last round stores what it can before it returns.
    void run();

private:
    void round();

    const StationConfig &m_config;
    ResultSpool &m_spool;
    LedgerPool &m_ledger;
    const std::atomic_bool &m_stop;
    const Bell &m_stopping;
    std::atomic_bool &m_countReached;
    Bell &m_slotsWake;
    Report m_report;
};

}  // namespace pairwick::station
