// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/stationmetrics.h"

#include <QDateTime>

#include "service/exposition.h"
#include "station/ledgerkeeper.h"
#include "station/stationrun.h"

namespace pairwick::service {

namespace {

using ledger::AttemptResult;
using station::SlotState;

constexpr std::array Results{AttemptResult::Passed, AttemptResult::Failed,
                             AttemptResult::Interrupted, AttemptResult::Already,
                             AttemptResult::Rejected};

constexpr std::array States{SlotState::Waiting,     SlotState::Problem,    SlotState::Working,
                            SlotState::Passed,      SlotState::Failed,     SlotState::Already,
                            SlotState::Interrupted, SlotState::LedgerAway, SlotState::Rejected,
                            SlotState::Finished};

double unixNow() {
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000;
}

}  // namespace

StationMetrics::StationMetrics(const station::StationConfig &config, QString version)
    : m_station(config.station),
      m_batch(config.batch),
      m_version(std::move(version)),
      m_slotNames(config.slotNames),
      m_slotStates(std::size_t(config.slotNames.size()), SlotState::Waiting),
      m_started(unixNow()) {
    // Every result from the start, so that a rate over a station that passed nothing is 0.
    for (const AttemptResult result : Results)
        m_units[result] = 0;
}

void StationMetrics::follow(const station::StationRun &run) {
    using station::StationRun;
    QObject::connect(
        &run, &StationRun::slotChanged, &run,
        [this](int index, const station::SlotEvent &event) { slotChanged(index, event); });
    QObject::connect(&run, &StationRun::unitFinished, &run,
                     [this](int, const station::UnitReport &report) { unitFinished(report); });
    QObject::connect(&run, &StationRun::ledgerStatus, &run,
                     [this](const station::LedgerStatus &status) { ledgerStatus(status); });
}

void StationMetrics::slotChanged(int index, const station::SlotEvent &event) {
    if (index >= 0 && std::size_t(index) < m_slotStates.size())
        m_slotStates[std::size_t(index)] = event.state;
}

void StationMetrics::unitFinished(const station::UnitReport &report) {
    ++m_units[report.result];
    ++m_unitCount;
    m_secondsSum += report.seconds;
    for (std::size_t i = 0; i < Buckets.size(); ++i)
        m_bucketCounts[i] += report.seconds <= Buckets[i];
    if (report.result == AttemptResult::Passed)
        m_lastPass = unixNow();
}

void StationMetrics::ledgerStatus(const station::LedgerStatus &status) {
    m_ledgerReachable = status.reachable;
    m_spooled = status.spooled;
}

QByteArray StationMetrics::exposition() const {
    const Labels run{{QStringLiteral("station"), m_station}, {QStringLiteral("batch"), m_batch}};
    Exposition text;
    text.family("pairwick_units_total", "counter",
                "Units this station finished since it started, by result.");
    for (const AttemptResult result : Results)
        text.sample("pairwick_units_total",
                    run + Labels{{QStringLiteral("result"), ledger::resultName(result)}},
                    double(m_units.at(result)));

    text.family("pairwick_unit_duration_seconds", "histogram",
                "Time from finding a unit in its slot to its result.");
    for (std::size_t i = 0; i < Buckets.size(); ++i)
        text.sample("pairwick_unit_duration_seconds_bucket",
                    run + Labels{{QStringLiteral("le"), QString::number(Buckets[i])}},
                    double(m_bucketCounts[i]));
    text.sample("pairwick_unit_duration_seconds_bucket",
                run + Labels{{QStringLiteral("le"), QStringLiteral("+Inf")}}, double(m_unitCount));
    text.sample("pairwick_unit_duration_seconds_sum", run, m_secondsSum);
    text.sample("pairwick_unit_duration_seconds_count", run, double(m_unitCount));

    text.family("pairwick_last_pass_timestamp_seconds", "gauge",
                "Unix time of this station's last passed unit; 0 before its first.");
    text.sample("pairwick_last_pass_timestamp_seconds", run, m_lastPass);

    text.family("pairwick_slot_state", "gauge",
                "1 for the state each slot is in, 0 for the others.");
    for (qsizetype slot = 0; slot < m_slotNames.size(); ++slot) {
        for (const SlotState state : States)
            text.sample("pairwick_slot_state",
                        {{QStringLiteral("slot"), m_slotNames[slot]},
                         {QStringLiteral("state"), station::stateName(state)}},
                        m_slotStates[std::size_t(slot)] == state ? 1 : 0);
    }

    text.family("pairwick_ledger_reachable", "gauge",
                "1 while the ledger answered the station's last look, 0 while it did not.");
    text.sample("pairwick_ledger_reachable", {}, m_ledgerReachable ? 1 : 0);
    text.family("pairwick_results_spooled", "gauge",
                "Results kept on this machine until the ledger stores them.");
    text.sample("pairwick_results_spooled", {}, m_spooled);

    text.family("process_start_time_seconds", "gauge", "Unix time the station started.");
    text.sample("process_start_time_seconds", {}, m_started);
    text.family("pairwick_build_info", "gauge", "Always 1; the version as a label.");
    text.sample("pairwick_build_info", {{QStringLiteral("version"), m_version}}, 1);
    return text.text();
}

}  // namespace pairwick::service
