// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QList>

#include "station/stationsetup.h"

class QCommandLineParser;

namespace pairwick::station {

// The options that set a station up, the same wherever a station is started from.
class StationOptions {
public:
    StationOptions();

    QList<QCommandLineOption> options() const;
    void addTo(QCommandLineParser &parser) const;
    // The slots are the positional arguments the caller picked out.
    StationSetup read(const QCommandLineParser &parser, const QStringList &slotNames) const;
    // What the fields and the ledger URLs mean, for the end of a --help.
    static QString explanation();

private:
    QCommandLineOption m_batch;
    QCommandLineOption m_profile;
    QCommandLineOption m_set;
    QCommandLineOption m_values;
    QCommandLineOption m_first;
    QCommandLineOption m_count;
    QCommandLineOption m_ledger;
    QCommandLineOption m_station;
    QCommandLineOption m_onPass;
    QCommandLineOption m_again;
    QCommandLineOption m_timeout;
    QCommandLineOption m_operator;
    QCommandLineOption m_maxAttempts;
    QCommandLineOption m_slotAlarm;
};

}  // namespace pairwick::station
