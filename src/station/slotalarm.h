// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "ledger/ledger.h"

namespace pairwick::station {

// More failures in a row than a shift's units in one slot would tell nothing at the end of it.
inline constexpr int SlotAlarmLimit = 1000;

// The alarm of a slot, raised or cleared.
struct SlotAlarmChange {
    bool raised = true;  // else cleared
    int slot = 0;
    QList<qint64> failedUnits;  // the numbers of the failed units that raised it, oldest first
    bool operator==(const SlotAlarmChange &) const = default;
};

// A slot whose last N units failed while the station's other slots passed units in that time
// has a worn contact or a bad cable rather than bad units: a line that fails everywhere (a wrong
// profile, a bad lot) raises nothing. The alarm stays until the slot's next pass. Fed the
// station's results in the order they came; interrupted and already-provisioned units say
// nothing of a fixture and change nothing.
class SlotAlarm {
public:
    // failures = 0 turns the alarm off.
    SlotAlarm(int slotCount, int failures);

    std::optional<SlotAlarmChange> unitFinished(int slot, ledger::AttemptResult result, qint64 seq);
    bool raised(int slot) const { return m_slots.at(std::size_t(slot)).raised; }

private:
    struct Failure {
        qint64 seq;
        qint64 passesBefore;  // the station's passes when the slot's unit before this one ended
    };
    struct Slot {
        QList<Failure> failures;  // the latest, at most the rule's number
        qint64 passesAtLastEnd = 0;
        bool raised = false;
    };

    int m_failures;
    qint64 m_passes = 0;  // the station's, every slot's
    std::vector<Slot> m_slots;
};

}  // namespace pairwick::station
