// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "ledger/ledgerlocation.h"
#include "provision/fastexchange.h"
#include "station/batchrules.h"

namespace pairwick::station {

// Everything a running station needs, checked in full before any slot starts.
struct StationConfig {
    QStringList slotNames;  // as given: COMn, a device path, a /dev/serial/by-path name
    QString batch;
    BatchRules rules;  // the batch's, once joined
    ledger::LedgerLocation ledger;
    QString station;
    QString onPass;    // a /bin/sh command run for every unit that passed
    qint64 count = 0;  // end once the batch holds this many passed units; 0: never
    bool again = false;
    provision::Pace pace;
    QString spoolFile;
    QString operatorName;  // stored on every attempt
    int slotAlarm = 3;     // failed units of one slot that raise its alarm; 0: never
};

}  // namespace pairwick::station
