// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "station/wakeup.h"

namespace pairwick::link {
class CommPort;
}

namespace pairwick::station {

// How often a slot looks. The kernel tells an empty slot when its device may have come; the slow
// look at it is only the safety net. A device that is there but silent is probed once a second.
struct PresenceTiming {
    int absentLookMs = 10000;
    int probeEveryMs = 1000;
    int probeTimeoutMs = 250;
    int reopenEveryMs = 1000;
    int checkOutEveryMs = 300;
    int goneAfterSilentMs = 1000;
};

// Whether a unit is in a slot: its device exists, opens and answers AT. Blocking, for the slot's
// own thread; every wait ends early once keepGoing() turns false.
class UnitPresence {
public:
    using KeepGoing = std::function<bool()>;
    // A text for the slot: why the device cannot be used, or empty once it can again.
    using Problem = std::function<void(const QString &problem)>;

    UnitPresence(QString slot, const Bell &stopping, KeepGoing keepGoing, Problem problem,
                 PresenceTiming timing = PresenceTiming());

    // Until a unit answers, with the port open; false when told to stop first.
    bool waitForUnit(link::CommPort &port);
    // Until the unit is gone: its device went away, or it did not answer for a second. The port
    // is closed then. False when told to stop first, with the unit still in.
    bool waitUntilOut(link::CommPort &port);

private:
    bool answersProbe(link::CommPort &port);
    bool deviceExists() const;
    bool pause(int milliseconds);
    void tell(const QString &problem);

    QString m_slot;
    KeepGoing m_keepGoing;
    Problem m_problem;
    PresenceTiming m_timing;
    Sleeper m_sleeper;
    QString m_lastProblem;
};

}  // namespace pairwick::station
