// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "station/slotevent.h"
#include "station/stationcontext.h"

namespace pairwick::station {

// One slot, all day, on a thread of its own: wait for a unit, provision it, show the result,
// wait until it is taken out, and again. Its ledger work goes to the station's pool of
// connections.
class SlotWorker {
public:
    using Report = std::function<void(const SlotEvent &)>;
    using Finished = std::function<void(const UnitReport &)>;

    SlotWorker(int index, const StationContext &context, Report report, Finished finished);

    // Blocks until the station stops or the batch is complete.
    void run();

private:
    const StationContext &m_context;
    QString m_slot;
    Report m_report;
    Finished m_finished;
};

}  // namespace pairwick::station
