// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <vector>

#include "station/ledgerkeeper.h"
#include "station/slotalarm.h"
#include "station/slotevent.h"
#include "station/stationconfig.h"

class QThread;
class QTimer;

namespace pairwick::link {
class TrafficLog;
}

namespace pairwick::station {

class LedgerPool;
class ResultSpool;

// A running station: every slot and the ledger keeper on threads of their own. What they report
// arrives on the thread that owns the run, so a window or a terminal view never waits for a port
// or for the ledger.
class StationRun : public QObject {
    Q_OBJECT

public:
    StationRun(StationConfig config, ResultSpool &spool, link::TrafficLog *log,
               QObject *parent = nullptr);
    ~StationRun() override;

    const StationConfig &config() const { return m_config; }
    void start();
    // Every slot stops at its next step; a unit in progress is recorded as interrupted.
    void stop();
    bool stopRequested() const { return m_stop.load(); }
    bool countReached() const { return m_countReached.load(); }

signals:
    void slotChanged(int index, const pairwick::station::SlotEvent &event);
    void unitFinished(int index, const pairwick::station::UnitReport &report);
    void ledgerStatus(const pairwick::station::LedgerStatus &status);
    // A slot's alarm raised or cleared by the unit of report, right after its unitFinished.
    void slotAlarm(const pairwick::station::SlotAlarmChange &change,
                   const pairwick::station::UnitReport &report);
    void finished();

private:
    void onSlotEnded();
    void tell(int index, const SlotEvent &event);
    void finish(int index, const UnitReport &report);

    StationConfig m_config;
    ResultSpool &m_spool;
    link::TrafficLog *m_log;
    std::atomic_bool m_stop{false};
    std::atomic_bool m_countReached{false};
    std::atomic_bool m_keeperStop{false};
    Bell m_slotsWake;
    Bell m_keeperWake;
    // Outlives the threads that use it: the destructor ends them first.
    std::unique_ptr<LedgerPool> m_ledger;
    std::vector<QThread *> m_threads;
    // Per slot, an event held back until it has lasted a moment.
    std::vector<std::unique_ptr<QTimer>> m_holds;
    std::vector<SlotEvent> m_held;
    QThread *m_keeperThread = nullptr;
    int m_runningSlots = 0;
    SlotAlarm m_alarm;
};

}  // namespace pairwick::station
