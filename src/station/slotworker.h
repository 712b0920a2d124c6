// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "station/slotevent.h"
#include "station/stationconfig.h"

namespace pairwick::link {
class CommPort;
class TrafficLog;
}  // namespace pairwick::link

namespace pairwick::station {

class LedgerPool;
class ResultSpool;

class Bell;

// What the slots of one station share: the settings and signals they only read, and the spool
// and the ledger pool, which any slot may use at any time.
struct StationContext {
    const StationConfig &config;
    ResultSpool &spool;
    LedgerPool &ledger;
    link::TrafficLog *log = nullptr;
    const std::atomic_bool &stop;
    // Set once the batch holds the passed units asked for: no slot starts another.
    const std::atomic_bool &countReached;
    // Rung with stop and countReached, so that a slot asleep notices at once.
    const Bell &wake;
};

// One slot, all day, on a thread of its own: wait for a unit, provision it, show the result,
// wait until it is taken out, and again. Its ledger work goes to the station's pool of
// connections.
class SlotWorker {
public:
    using Report = std::function<void(const SlotEvent &)>;
    using Finished = std::function<void(const UnitReport &)>;

    SlotWorker(int index, const StationContext &context, Report report, Finished finished);
    ~SlotWorker();

    // Blocks until the station stops or the batch is complete.
    void run();

private:
    class Unit;
    bool keepGoing() const;

    int m_index;
    const StationContext &m_context;
    QString m_slot;
    QString m_stableName;
    Report m_report;
    Finished m_finished;
};

}  // namespace pairwick::station
