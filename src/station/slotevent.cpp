// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/slotevent.h"

#include <QCoreApplication>

#include "settings/keynames.h"

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
        case SlotState::Rejected:
            return QStringLiteral("rejected");
        case SlotState::Finished:
            break;
    }
    return QStringLiteral("finished");
}

namespace {

// Of a unit that failed part-way: what it may hold that it did not before.
QString writesText(const UnitReport &report) {
    QStringList parts;
    if (!report.written.isEmpty())
        parts.append(QCoreApplication::translate("pairwick::station", "已写入：%1")
                         .arg(settings::joinedKeyNames(report.written)));
    if (!report.sent.isEmpty())
        parts.append(QCoreApplication::translate("pairwick::station", "已发出，结果未知：%1")
                         .arg(settings::joinedKeyNames(report.sent)));
    return parts.isEmpty() ? QString()
                           : QCoreApplication::translate("pairwick::station", "（%1）")
                                 .arg(parts.join(QStringLiteral("; ")));
}

}  // namespace

QString resultText(const UnitReport &report) {
    QString text = report.result == ledger::AttemptResult::Passed
                       ? QStringLiteral("%1 PIN %2")
                             .arg(report.settings.value(settings::Key::Name),
                                  report.settings.value(settings::Key::Pin))
                       : report.error + writesText(report);
    if (!report.onPassWarning.isEmpty())
        text += QCoreApplication::translate("pairwick::station", "（警告：%1）")
                    .arg(report.onPassWarning);
    return text;
}

}  // namespace pairwick::station
