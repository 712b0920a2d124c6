// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "station/stationconfig.h"

namespace pairwick::link {
class TrafficLog;
}  // namespace pairwick::link

namespace pairwick::station {

class Bell;
class LedgerPool;
class ResultSpool;

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

    // Neither stopped nor complete: a slot may start on a unit.
    bool keepGoing() const { return !stop.load() && !countReached.load(); }
};

}  // namespace pairwick::station
