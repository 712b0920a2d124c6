// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

#include "labels/labelvalues.h"
#include "ledger/ledger.h"
#include "printing/labelmaker.h"
#include "printing/printerdestination.h"

namespace pairwick::printing {

// Labels printed again on someone's word, for `label print` and the window's ledger tab alike.
struct Reprint {
    QString batch;
    QList<qint64> seqs;  // empty: every unit that passed (since, when valid)
    QDateTime since;
    QString reason;
    QString station;
    PrinterDestination destination;
    int copies = 1;
};

// How far a reprint went, and what stopped it.
struct ReprintOutcome {
    enum class Kind { Printed, NonePassed, NoSuchUnit, NotPassed, BadLabel, Away, Misconfigured };
    Kind kind = Kind::Printed;
    qint64 seq = 0;  // the unit that stopped it
    QString detail;  // that unit's state, or why the label was not made or taken
    qsizetype printed = 0;
    qsizetype asked = 0;
};

// Sends and records ("reprint: REASON") the label of each unit asked for, from its values as the
// ledger holds them. A unit asked for that is missing or did not pass refuses them all before any
// is sent; a label that is not made or not taken stops the ones after it. printed, when given, is
// told of each label as it is recorded. Throws LedgerError.
ReprintOutcome reprintLabels(ledger::Ledger &opened, const Reprint &reprint,
                             const LabelMaker &maker,
                             const std::function<void(const QString &batch, qint64 seq)> &printed);

// What a label of a unit recorded as passed shows: its values as the ledger holds them.
labels::LabelValues recordedLabelValues(const ledger::UnitRow &unit);

}  // namespace pairwick::printing
