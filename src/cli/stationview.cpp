// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stationview.h"

#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "cli/resultformat.h"
#include "settings/keynames.h"

namespace pairwick::cli {

using station::SlotState;

namespace {

// What a slot does, without the call to take its unit out.
QString stateLine(const station::SlotEvent &event) {
    QString line;
    switch (event.state) {
        case SlotState::Waiting:
            return event.text.isEmpty() ? QStringLiteral("waiting for a unit")
                                        : QStringLiteral("waiting: %1").arg(event.text);
        case SlotState::Working:
            line = QStringLiteral("#%1 %2").arg(
                event.seq > 0 ? QString::number(event.seq) : QStringLiteral("?"), event.text);
            break;
        case SlotState::Passed:
            line = QStringLiteral("PASS #%1 %2").arg(event.seq).arg(event.text);
            break;
        case SlotState::Failed:
            line = QStringLiteral("FAIL %1").arg(event.text);
            break;
        default:
            line =
                QStringLiteral("%1 %2").arg(station::stateName(event.state).toUpper(), event.text);
            break;
    }
    return line.replace(u'\n', u' ').trimmed();
}

// What the journal's readers of warnings must see: units that did not pass and slots kept from
// the ledger.
service::Priority priorityOf(SlotState state) {
    return state == SlotState::Failed || state == SlotState::Interrupted ||
                   state == SlotState::LedgerAway || state == SlotState::Rejected
               ? service::Priority::Warning
               : service::Priority::Info;
}

bool isResult(SlotState state) {
    return state == SlotState::Passed || state == SlotState::Failed ||
           state == SlotState::Already || state == SlotState::Interrupted ||
           state == SlotState::Rejected;
}

QJsonValue orNull(qint64 seq) {
    return seq > 0 ? QJsonValue(seq) : QJsonValue();
}

// Told only where there are some: most batches set no limit of attempts.
QString rejectedCount(qint64 count) {
    return count > 0 ? QStringLiteral(", %1 rejected").arg(count) : QString();
}

QJsonValue orNull(const QString &text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

}  // namespace

StationView::StationView(const QStringList &slotNames, const QString &batch, const QString &station,
                         const QString &operatorName, bool quiet, bool json)
    : m_slots(slotNames),
      m_batch(batch),
      m_station(station),
      m_operator(operatorName),
      m_progress(QStringList(slotNames) << QStringLiteral("totals"), quiet),
      m_shown(slotNames.size()),
      m_results(slotNames.size()),
      m_lines(slotNames.size()),
      m_alarms(slotNames.size()),
      m_json(json || ::isatty(STDOUT_FILENO) == 0),
      m_bell(!quiet && ::isatty(STDERR_FILENO) != 0) {
    m_running.start();
}

void StationView::printJson(const QJsonObject &object, service::Priority priority) {
    if (!m_json)
        return;
    const QByteArray line = service::priorityPrefix(stdout, priority) +
                            QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout);
}

void StationView::slotChanged(int index, const station::SlotEvent &event) {
    // A result stays on its line while its unit is in, also once the station ends.
    QString &result = m_results[index];
    QString line = event.state == SlotState::Finished && event.awaitingRemoval && !result.isEmpty()
                       ? QStringLiteral("%1 (%2)").arg(result, event.text)
                       : stateLine(event);
    result = isResult(event.state) ? line : QString();
    if (event.awaitingRemoval)
        line += QStringLiteral(" -- take the unit out");
    m_lines[index] = line;
    line.prepend(m_alarms.at(index));
    if (event.state == SlotState::Working)
        m_progress.show(index, line, event.stepsDone, event.stepsAll);
    else
        m_progress.show(index, line, priorityOf(event.state));
    // A step within a unit is progress, not a change of the slot's state; the unit's number
    // becoming known is one.
    Shown &shown = m_shown[index];
    const Shown now{event.state, event.seq, event.awaitingRemoval};
    if (event.state == SlotState::Working && shown == now)
        return;
    // The totals line tells the ledger's state as the slots live it.
    const bool ledgerWaitChanged =
        (shown.state == SlotState::LedgerAway) != (event.state == SlotState::LedgerAway);
    shown = now;
    if (ledgerWaitChanged)
        showTotals();
    printJson({{QStringLiteral("event"), QStringLiteral("slot")},
               {QStringLiteral("slot"), m_slots.at(index)},
               {QStringLiteral("state"), station::stateName(event.state)},
               {QStringLiteral("seq"), orNull(event.seq)},
               {QStringLiteral("text"), event.text},
               {QStringLiteral("awaitingRemoval"), event.awaitingRemoval}},
              priorityOf(event.state));
}

void StationView::unitFinished(int, const station::UnitReport &report) {
    switch (report.result) {
        case ledger::AttemptResult::Passed:
            ++m_passed;
            break;
        case ledger::AttemptResult::Already:
            ++m_already;
            break;
        default:
            ++(report.result == ledger::AttemptResult::Rejected ? m_rejected : m_failed);
            if (m_bell) {
                std::fputc('\a', stderr);
                std::fflush(stderr);
            }
            break;
    }
    QJsonObject line{{QStringLiteral("event"), QStringLiteral("unit")},
                     {QStringLiteral("slot"), report.slot},
                     {QStringLiteral("port"), report.port},
                     {QStringLiteral("device"), report.device},
                     {QStringLiteral("address"), report.address},
                     {QStringLiteral("seq"), orNull(report.seq)},
                     {QStringLiteral("batch"), m_batch},
                     {QStringLiteral("station"), m_station},
                     {QStringLiteral("operator"), orNull(m_operator)},
                     {QStringLiteral("result"), ledger::resultName(report.result)},
                     {QStringLiteral("sent"), settings::keyNameArray(report.sent)},
                     {QStringLiteral("step"), orNull(report.step)},
                     {QStringLiteral("errorCode"), orNull(report.errorCode)},
                     {QStringLiteral("detail"), orNull(report.detail)},
                     {QStringLiteral("error"), orNull(report.error)},
                     {QStringLiteral("warning"), orNull(report.onPassWarning)},
                     {QStringLiteral("seconds"), report.seconds}};
    if (report.result == ledger::AttemptResult::Rejected)
        line.insert(QStringLiteral("attempts"), report.attempts);
    insertKnownSettings(line, report.settings, report.complete, report.written, report.unchanged);
    printJson(line, report.result == ledger::AttemptResult::Passed ||
                            report.result == ledger::AttemptResult::Already
                        ? service::Priority::Info
                        : service::Priority::Warning);
    showTotals();
}

void StationView::slotAlarm(const station::SlotAlarmChange &change,
                            const station::UnitReport &report) {
    QJsonArray units;
    QStringList numbers;
    for (const qint64 seq : change.failedUnits) {
        units.append(seq);
        numbers.append(QStringLiteral("#%1").arg(seq));
    }
    m_alarms[change.slot] = change.raised
                                ? QStringLiteral("CHECK THIS SLOT'S FIXTURE (%1 failed) | ")
                                      .arg(numbers.join(QStringLiteral(", ")))
                                : QString();
    const service::Priority priority =
        change.raised ? service::Priority::Warning : service::Priority::Info;
    m_progress.show(change.slot, m_alarms.at(change.slot) + m_lines.at(change.slot), priority);
    QJsonObject line{
        {QStringLiteral("event"),
         change.raised ? QStringLiteral("slot_alarm") : QStringLiteral("slot_alarm_cleared")},
        {QStringLiteral("slot"), report.slot},
        {QStringLiteral("device"), report.device},
        {QStringLiteral("batch"), m_batch},
        {QStringLiteral("station"), m_station}};
    if (change.raised) {
        line.insert(QStringLiteral("failed"), units.size());
        line.insert(QStringLiteral("units"), units);
        line.insert(QStringLiteral("text"), QStringLiteral("check this slot's fixture"));
    } else {
        line.insert(QStringLiteral("seq"), orNull(report.seq));
    }
    printJson(line, priority);
}

void StationView::ledgerStatus(const station::LedgerStatus &status) {
    m_ledger = status;
    showTotals();
}

void StationView::labelsWaiting(int waiting, const QString &printerProblem) {
    const bool changed = waiting != m_labelsWaiting || printerProblem != m_printerProblem;
    m_labelsWaiting = waiting;
    m_printerProblem = printerProblem;
    if (!changed)
        return;
    printJson({{QStringLiteral("event"), QStringLiteral("labels")},
               {QStringLiteral("waiting"), waiting},
               {QStringLiteral("printer"),
                printerProblem.isEmpty() ? QJsonValue() : QJsonValue(printerProblem)}},
              printerProblem.isEmpty() ? service::Priority::Info : service::Priority::Warning);
    showTotals();
}

void StationView::labelSent(qint64 seq) {
    printJson({{QStringLiteral("event"), QStringLiteral("label")},
               {QStringLiteral("batch"), m_batch},
               {QStringLiteral("seq"), seq}},
              service::Priority::Info);
}

void StationView::showTotals() {
    const double hours = double(m_running.elapsed()) / 3.6e6;
    QString line = QStringLiteral("this station: %1 passed, %2 failed, %3 already")
                       .arg(m_passed)
                       .arg(m_failed)
                       .arg(m_already);
    line += rejectedCount(m_rejected);
    if (m_passed > 0)
        line += QStringLiteral(", %1 units/h").arg(double(m_passed) / hours, 0, 'f', 0);
    line += QStringLiteral(" | batch %1: %2 passed, %3 failed, %4 interrupted")
                .arg(m_batch)
                .arg(m_ledger.batch.passed)
                .arg(m_ledger.batch.failed)
                .arg(m_ledger.batch.interrupted);
    line += rejectedCount(m_ledger.batch.rejected);
    const auto waiting = std::count_if(m_shown.cbegin(), m_shown.cend(), [](const Shown &slot) {
        return slot.state == SlotState::LedgerAway;
    });
    if (!m_ledger.reachable)
        line += QStringLiteral(" | ledger unreachable: %1").arg(m_ledger.problem);
    else if (waiting > 0)
        line += QStringLiteral(" | %1 slots wait for the ledger").arg(waiting);
    if (m_ledger.spooled > 0)
        line += QStringLiteral(" | %1 results wait to be stored").arg(m_ledger.spooled);
    if (m_labelsWaiting > 0 || !m_printerProblem.isEmpty())
        line += QStringLiteral(" | %1 labels wait").arg(m_labelsWaiting);
    if (!m_printerProblem.isEmpty())
        line += QStringLiteral(" (printer: %1)").arg(m_printerProblem);
    m_totals = line.replace(u'\n', u' ');
    m_progress.show(int(m_slots.size()), m_totals,
                    m_ledger.reachable ? service::Priority::Info : service::Priority::Warning);
}

}  // namespace pairwick::cli
