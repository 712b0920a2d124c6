// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

#include "station/stationconfig.h"

namespace pairwick::station {

// A station as it is set up: the words an operator typed or a command line gave, unchecked.
struct StationSetup {
    QStringList slotNames;
    QString batch;
    QString profileFile;
    QStringList fields;  // KEY=VALUE, fields allowed
    QString valuesFile;
    QString first;      // empty: the batch's own, or 1 for a new one
    QString count;      // empty: no end
    QString ledgerUrl;  // empty: the default
    QString station;
    QString onPass;
    QString timeoutMs = QStringLiteral("1000");
    QString slotAlarm = QStringLiteral("3");
    bool again = false;
    QString operatorName;  // who runs the station; may be empty
    QString maxAttempts;   // empty: the batch's own, or no limit for a new one
    QString labelFile;     // empty, with printer empty: no labels
    QString printer;
    int labelCopies = 1;
};

// The part of a setup a problem concerns, so a window can show it beside its field.
enum class SetupField {
    Slots,
    Batch,
    Profile,
    Fields,
    Values,
    First,
    Count,
    Ledger,
    Station,
    Timeout,
    Operator,
    MaxAttempts,
    Label,
    Printer,
    SlotAlarm,
};

struct SetupProblem {
    SetupField field;
    QString message;
};

struct CheckedSetup {
    StationConfig config;  // its rules are the ones this setup brings
    bool firstGiven = false;
};

// Every check a station makes before it opens the ledger, all of them, in the order of the fields.
std::variant<CheckedSetup, QList<SetupProblem>> checkSetup(const StationSetup &setup);

}  // namespace pairwick::station
