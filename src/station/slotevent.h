// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "ledger/ledger.h"
#include "settings/adaptersettings.h"

namespace pairwick::station {

enum class SlotState {
    Waiting,  // no unit in, or one that does not answer
    Problem,  // the device is there but cannot be used (held by another program, no permission)
    Working,
    Passed,
    Failed,
    Already,
    Interrupted,
    LedgerAway,  // a unit is in, but no number can be reserved until the ledger answers
    Rejected,    // the unit failed as often as the batch allows: set it aside
    // The batch holds the units asked for, or the station stops. With awaitingRemoval a unit is
    // still in: the result shown before stays, or the text says that it got none.
    Finished,
};

// "waiting", "working", "passed", ...: as printed in JSON.
QString stateName(SlotState state);

// What a slot shows now. A result (passed, failed, already, interrupted) stays until the unit is
// taken out, which awaitingRemoval tells.
struct SlotEvent {
    SlotState state = SlotState::Waiting;
    QString text;  // the step, the reason, the problem
    qint64 seq = 0;
    int stepsDone = 0;
    int stepsAll = 0;
    bool awaitingRemoval = false;
    // Told only once it has lasted a moment: a wait that usually ends at once.
    bool onlyIfItLasts = false;
};

// One unit through a slot, start to end, as reported and recorded.
struct UnitReport {
    QString slot;
    QString port;    // the device the slot opens
    QString device;  // its stable name where the system gives one
    QString address;
    qint64 seq = 0;  // 0 when no number was reserved
    ledger::AttemptResult result = ledger::AttemptResult::Failed;
    // As read back, or as found; of a unit that failed part-way only the keys no write may have
    // changed, and complete is false until a full read came after the last write.
    settings::AdapterSettings settings;
    bool complete = true;
    QList<settings::Key> written;  // answered OK
    QList<settings::Key> sent;     // went out without a complete answer
    QList<settings::Key> unchanged;
    settings::AdapterSettings values;  // the unit's own, for the on-pass command and the screen
    // Of a failure or a stop: the step and the error as codes with their detail (as recorded),
    // and error, what they say in the program's language.
    QString step;
    QString errorCode;
    QString detail;
    QString error;
    qint64 attempts = 0;  // of a rejected unit, this visit included
    QString onPassWarning;
    double seconds = 0;
};

}  // namespace pairwick::station

namespace pairwick::station {

// What a slot shows of a finished unit: the name and PIN it was given, or the reason.
QString resultText(const UnitReport &report);

}  // namespace pairwick::station
