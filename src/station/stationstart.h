// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

#include "ledger/migrationprogress.h"
#include "station/resultspool.h"
#include "station/stationconfig.h"

namespace pairwick::station {

// Why a station may not start; nothing was sent to any slot.
struct StartRefusal {
    enum class Cause { Running, Spool, Rules, Ledger };
    Cause cause;
    QString message;
};

// What a station does before its first byte: it makes sure it is the only one of its name on this
// machine, stores the results a killed or cut-off run left in its spool, closes its unfinished
// attempts as interrupted, and joins the batch. Holds the lock and the spool while it lives.
class StationStart {
public:
    // Takes the batch's rules into config once joined. May wait for the ledger, and for its
    // migration, which watch is told of: run it where waiting blocks nobody.
    std::optional<StartRefusal> prepare(StationConfig &config, bool firstGiven,
                                        const ledger::MigrationWatch &watch = {});
    ResultSpool &spool() { return *m_spool; }

private:
    std::unique_ptr<QLockFile> m_running;
    std::unique_ptr<ResultSpool> m_spool;
};

}  // namespace pairwick::station
