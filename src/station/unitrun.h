// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <optional>

#include "ledger/ledger.h"
#include "provision/adaptersession.h"
#include "provision/fastexchange.h"
#include "station/slotevent.h"
#include "station/stationcontext.h"

namespace pairwick::link {
class CommPort;
}  // namespace pairwick::link

namespace pairwick::station {

// Where a unit sits: its slot, the device the slot opens and that device's stable name.
struct UnitPlace {
    QString slot;
    QString port;
    QString device;
};

// One unit from the moment it answered to its recorded result: its settings read, its number
// reserved, its values written and read back, its end spooled and stored, and the on-pass
// command run. Nothing is written to it before the ledger has given it a number.
class UnitRun {
public:
    using Report = std::function<void(const SlotEvent &)>;

    UnitRun(const StationContext &context, link::CommPort &port, const UnitPlace &place,
            Report report);

    // Nothing when the batch was complete before this unit got a number.
    std::optional<UnitReport> run();

private:
    // Probe and the reads, the reservation, the writes, the read-back: an estimate the count of
    // steps taken corrects.
    static constexpr int ReadSteps = 8;

    void progress(const QString &step);
    void show(const QString &step);
    void provisionUnit();
    void takeWhatIsKnown();
    ledger::Reservation reserve(const settings::AdapterSettings &found);
    void giveUp(const QString &attemptId, const QString &reason);
    void end(ledger::AttemptResult result, const QString &step = QString(),
             const QString &error = QString(), const QString &detail = QString());
    void store();
    void runOnPass();

    const StationContext &m_context;
    Report m_tell;
    provision::FastExchange m_exchange;
    provision::AdapterSession m_session;
    UnitReport m_report;
    ledger::AttemptStart m_start;
    settings::AdapterSettings m_readBack;
    QString m_step;
    QString m_stepCode;  // of m_step (provision/attemptcodes.h)
    QElapsedTimer m_clock;
    int m_done = 1;  // the probe that found the unit
    int m_all = 1 + ReadSteps;
    bool m_open = false;
    bool m_countReached = false;
};

}  // namespace pairwick::station
