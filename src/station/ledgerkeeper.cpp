// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/ledgerkeeper.h"

#include "station/ledgerpool.h"
#include "station/resultspool.h"

namespace pairwick::station {

namespace {

constexpr int RoundMs = 2000;

}  // namespace

LedgerKeeper::LedgerKeeper(const StationConfig &config, ResultSpool &spool, LedgerPool &ledger,
                           const std::atomic_bool &stop, const Bell &stopping,
                           std::atomic_bool &countReached, Bell &slotsWake, Report report)
    : m_config(config),
      m_spool(spool),
      m_ledger(ledger),
      m_stop(stop),
      m_stopping(stopping),
      m_countReached(countReached),
      m_slotsWake(slotsWake),
      m_report(std::move(report)) {}

void LedgerKeeper::round() {
    LedgerStatus status;
    try {
        status.batch = m_ledger.run([this](ledger::Ledger &ledger) {
            m_spool.flush(ledger);
            return ledger.totals(m_config.batch);
        });
        if (m_config.count > 0 && status.batch.passed >= m_config.count) {
            m_countReached.store(true);
            m_slotsWake.ring();
        }
    } catch (const ledger::LedgerError &error) {
        status.reachable = false;
        status.problem = error.message();
    }
    status.spooled = m_spool.pendingCount();
    m_report(status);
}

void LedgerKeeper::run() {
    Sleeper sleeper(m_stopping);
    while (!m_stop.load()) {
        round();
        sleeper.sleep(RoundMs);
    }
    round();
}

}  // namespace pairwick::station
