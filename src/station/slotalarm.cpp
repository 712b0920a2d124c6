// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/slotalarm.h"

#include <algorithm>

namespace pairwick::station {

SlotAlarm::SlotAlarm(int slotCount, int failures)
    : m_failures(failures), m_slots(std::size_t(std::max(slotCount, 0))) {}

std::optional<SlotAlarmChange> SlotAlarm::unitFinished(int slot, ledger::AttemptResult result,
                                                       qint64 seq) {
    if (m_failures <= 0 || slot < 0 || std::size_t(slot) >= m_slots.size())
        return std::nullopt;
    Slot &mine = m_slots[std::size_t(slot)];
    if (result == ledger::AttemptResult::Passed) {
        ++m_passes;
        mine.passesAtLastEnd = m_passes;
        mine.failures.clear();
        if (!mine.raised)
            return std::nullopt;
        mine.raised = false;
        return SlotAlarmChange{false, slot, {}};
    }
    if (result != ledger::AttemptResult::Failed)
        return std::nullopt;
    mine.failures.append({seq, mine.passesAtLastEnd});
    if (mine.failures.size() > m_failures)
        mine.failures.removeFirst();
    mine.passesAtLastEnd = m_passes;
    // The slot has passed nothing since the first of its failures, so every pass since then was
    // another slot's.
    if (mine.raised || mine.failures.size() < m_failures ||
        m_passes == mine.failures.constFirst().passesBefore)
        return std::nullopt;
    mine.raised = true;
    SlotAlarmChange change{true, slot, {}};
    for (const Failure &failure : mine.failures)
        change.failedUnits.append(failure.seq);
    return change;
}

}  // namespace pairwick::station
