// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/stationrun.h"

#include <QThread>
#include <QTimer>
#include <algorithm>

#include "station/ledgerpool.h"
#include "station/slotworker.h"

namespace pairwick::station {

namespace {

// Long enough for a ledger that answers as usual, short enough that a stuck one shows at once.
constexpr int LastingMs = 500;

// Connections to the ledger for the slots and the keeper together, whatever the number of
// slots: a unit's ledger work takes milliseconds beside its second on the wire, so three serve
// sixteen busy slots, and the window's ledger table takes a fourth.
constexpr int LedgerConnections = 3;

}  // namespace

StationRun::StationRun(StationConfig config, ResultSpool &spool, link::TrafficLog *log,
                       QObject *parent)
    : QObject(parent),
      m_config(std::move(config)),
      m_spool(spool),
      m_log(log),
      m_alarm(int(m_config.slotNames.size()), m_config.slotAlarm) {}

StationRun::~StationRun() {
    stop();
    m_keeperStop.store(true);
    m_keeperWake.ring();
    for (QThread *thread : m_threads) {
        thread->wait();
        delete thread;
    }
}

void StationRun::start() {
    m_ledger = std::make_unique<LedgerPool>(
        m_config.ledger, std::min(LedgerConnections, int(m_config.slotNames.size()) + 1));
    const StationContext context{m_config, m_spool,        *m_ledger,  m_log,
                                 m_stop,   m_countReached, m_slotsWake};
    m_runningSlots = int(m_config.slotNames.size());
    m_held.resize(m_config.slotNames.size());
    for (int index = 0; index < m_config.slotNames.size(); ++index) {
        auto &hold = m_holds.emplace_back(std::make_unique<QTimer>());
        hold->setSingleShot(true);
        hold->setInterval(LastingMs);
        connect(hold.get(), &QTimer::timeout, this,
                [this, index] { emit slotChanged(index, m_held[std::size_t(index)]); });
    }
    for (int index = 0; index < m_config.slotNames.size(); ++index) {
        QThread *thread = QThread::create([this, index, context] {
            SlotWorker worker(
                index, context,
                [this, index](const SlotEvent &event) {
                    QMetaObject::invokeMethod(
                        this, [this, index, event] { tell(index, event); }, Qt::QueuedConnection);
                },
                [this, index](const UnitReport &report) {
                    QMetaObject::invokeMethod(
                        this, [this, index, report] { finish(index, report); },
                        Qt::QueuedConnection);
                });
            worker.run();
        });
        connect(thread, &QThread::finished, this, &StationRun::onSlotEnded);
        m_threads.push_back(thread);
        thread->start();
    }
    m_keeperThread = QThread::create([this] {
        LedgerKeeper(
            m_config, m_spool, *m_ledger, m_keeperStop, m_keeperWake, m_countReached, m_slotsWake,
            [this](const LedgerStatus &status) {
                QMetaObject::invokeMethod(
                    this, [this, status] { emit ledgerStatus(status); }, Qt::QueuedConnection);
            })
            .run();
    });
    // The keeper ends after the slots, so the results of their last units are stored too.
    connect(m_keeperThread, &QThread::finished, this, &StationRun::finished);
    m_threads.push_back(m_keeperThread);
    m_keeperThread->start();
}

void StationRun::stop() {
    m_stop.store(true);
    m_slotsWake.ring();
}

void StationRun::tell(int index, const SlotEvent &event) {
    QTimer &hold = *m_holds[std::size_t(index)];
    hold.stop();
    if (!event.onlyIfItLasts) {
        emit slotChanged(index, event);
        return;
    }
    m_held[std::size_t(index)] = event;
    hold.start();
}

void StationRun::finish(int index, const UnitReport &report) {
    emit unitFinished(index, report);
    if (const auto change = m_alarm.unitFinished(index, report.result, report.seq))
        emit slotAlarm(*change, report);
}

void StationRun::onSlotEnded() {
    if (--m_runningSlots == 0) {
        m_keeperStop.store(true);
        m_keeperWake.ring();
    }
}

}  // namespace pairwick::station
