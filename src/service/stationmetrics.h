// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <vector>

#include "station/slotevent.h"
#include "station/stationconfig.h"

namespace pairwick::station {
class StationRun;
struct LedgerStatus;
}  // namespace pairwick::station

namespace pairwick::service {

// What a station has done, as a scraper reads it. Fed by the run's signals on the thread that
// owns the run and read by the metrics endpoint on the same thread, so it needs no lock and
// nothing a scraper does can reach a slot.
class StationMetrics {
public:
    StationMetrics(const station::StationConfig &config, QString version);

    void follow(const station::StationRun &run);
    void slotChanged(int index, const station::SlotEvent &event);
    void unitFinished(const station::UnitReport &report);
    void ledgerStatus(const station::LedgerStatus &status);

    // Prometheus's text format.
    QByteArray exposition() const;

    // The upper bounds of the unit times' buckets, in seconds.
    static constexpr std::array<double, 10> Buckets{0.5, 1, 2, 5, 10, 20, 30, 60, 120, 300};

private:
    QString m_station;
    QString m_batch;
    QString m_version;
    QStringList m_slotNames;
    std::vector<station::SlotState> m_slotStates;
    std::map<ledger::AttemptResult, qint64> m_units;
    std::array<qint64, Buckets.size()> m_bucketCounts{};
    double m_secondsSum = 0;
    qint64 m_unitCount = 0;
    double m_lastPass = 0;  // unix time; 0 before the first
    double m_started = 0;
    bool m_ledgerReachable = true;
    int m_spooled = 0;
};

}  // namespace pairwick::service
