// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/slotevent.h"

namespace pairwick::station {

QString stateName(SlotState state) {
    switch (state) {
        case SlotState::Waiting:
            return QStringLiteral("waiting");
        case SlotState::Problem:
            return QStringLiteral("problem");
        case SlotState::Working:
            return QStringLiteral("working");
        case SlotState::Passed:
            return QStringLiteral("passed");
        case SlotState::Failed:
            return QStringLiteral("failed");
        case SlotState::Already:
            return QStringLiteral("already");
        case SlotState::Interrupted:
            return QStringLiteral("interrupted");
        case SlotState::LedgerAway:
            return QStringLiteral("ledger-away");
        case SlotState::Finished:
            break;
    }
    return QStringLiteral("finished");
}

QString resultText(const UnitReport &report) {
    QString text = report.result == ledger::AttemptResult::Passed
                       ? QStringLiteral("%1 PIN %2")
                             .arg(report.settings.value(settings::Key::Name),
                                  report.settings.value(settings::Key::Pin))
                       : report.error;
    if (!report.onPassWarning.isEmpty())
        text += QStringLiteral(" (warning: %1)").arg(report.onPassWarning);
    return text;
}

}  // namespace pairwick::station
