// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/ledgerkeeper.h"

#include "station/resultspool.h"

namespace pairwick::station {

namespace {

constexpr int RoundMs = 2000;

}  // namespace

LedgerKeeper::LedgerKeeper(const StationConfig &config, ResultSpool &spool,
                           const std::atomic_bool &stop, const Bell &stopping,
                           std::atomic_bool &countReached, Bell &slotsWake, Report report)
    : m_config(config),
      m_spool(spool),
      m_stop(stop),
      m_stopping(stopping),
      m_countReached(countReached),
      m_slotsWake(slotsWake),
      m_report(std::move(report)) {}

void LedgerKeeper::round() {
    LedgerStatus status;
    try {
        if (!m_ledger)
            m_ledger = std::make_unique<ledger::Ledger>(m_config.ledger,
                                                        QStringLiteral("pairwick-keeper"));
        m_spool.flush(*m_ledger);
        status.batch = m_ledger->totals(m_config.batch);
        if (m_config.count > 0 && status.batch.passed >= m_config.count) {
            m_countReached.store(true);
            m_slotsWake.ring();
        }
    } catch (const ledger::LedgerError &error) {
        m_ledger.reset();
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
