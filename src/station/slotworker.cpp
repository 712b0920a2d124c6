// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/slotworker.h"

#include <QCoreApplication>

#include "link/commport.h"
#include "link/stablename.h"
#include "provision/portjob.h"
#include "station/unitpresence.h"
#include "station/unitrun.h"

namespace pairwick::station {

using ledger::AttemptResult;

namespace {

QString stableNameOf(const QString &device) {
    for (const QString &folder :
         {QStringLiteral("/dev/serial/by-path"), QStringLiteral("/dev/serial/by-id")}) {
        const QString name = link::stableDeviceName(device, folder);
        if (!name.isEmpty())
            return name;
    }
    return device;
}

SlotState resultState(AttemptResult result) {
    switch (result) {
        case AttemptResult::Passed:
            return SlotState::Passed;
        case AttemptResult::Already:
            return SlotState::Already;
        case AttemptResult::Interrupted:
            return SlotState::Interrupted;
        case AttemptResult::Rejected:
            return SlotState::Rejected;
        case AttemptResult::Started:
        case AttemptResult::Failed:
            break;
    }
    return SlotState::Failed;
}

}  // namespace

SlotWorker::SlotWorker(int index, const StationContext &context, Report report, Finished finished)
    : m_context(context),
      m_slot(context.config.slotNames.at(index)),
      m_report(std::move(report)),
      m_finished(std::move(finished)) {}

void SlotWorker::run() {
    UnitPlace place{m_slot, provision::deviceForPort(m_slot), QString()};
    link::CommPort port;
    port.setTrafficLog(m_context.log);
    UnitPresence presence(
        m_slot, m_context.wake, [this] { return m_context.keepGoing(); },
        [this](const QString &problem) {
            m_report({problem.isEmpty() ? SlotState::Waiting : SlotState::Problem, problem});
        });
    // A unit stays in its slot when the station ends: its result stays shown, or the slot says
    // that it got none.
    bool unitIn = false;
    bool provisioned = true;
    while (m_context.keepGoing()) {
        m_report({SlotState::Waiting, QString()});
        if (!presence.waitForUnit(port))
            break;
        unitIn = true;
        // Named once it is in: the system's stable links come and go with the device.
        place.device = stableNameOf(place.port);
        const std::optional<UnitReport> report = UnitRun(m_context, port, place, m_report).run();
        provisioned = report.has_value();
        if (!report)
            break;
        m_finished(*report);
        m_report({resultState(report->result), resultText(*report), report->seq, 0, 0, true});
        if (m_context.stop.load())
            break;
        unitIn = !presence.waitUntilOut(port);
    }
    port.close();
    const QString ending = m_context.countReached.load()
                               ? QCoreApplication::translate("pairwick::station", "批次已完成")
                               : QCoreApplication::translate("pairwick::station", "工位已停止");
    m_report({SlotState::Finished,
              unitIn && !provisioned
                  ? QCoreApplication::translate("pairwick::station", "%1；此模块未配置").arg(ending)
                  : ending,
              0, 0, 0, unitIn});
}

}  // namespace pairwick::station
