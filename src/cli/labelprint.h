// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "labels/labelvalues.h"
#include "ledger/ledger.h"
#include "printing/printoptions.h"

namespace pairwick::cli {

// pairwick-cli label print, its options checked: a reprint of units that passed, or the labels a
// station left waiting.
struct LabelPrintCall {
    printing::PrintRequest print;
    QString ledgerUrl;
    QString batch;
    QList<qint64> seqs;  // empty: every unit that passed (since, when valid)
    QDateTime since;
    QString reason;
    bool pending = false;
    QString station;
};

int runLabelPrint(const LabelPrintCall &call);

// Prints "pairwick-cli: MESSAGE" and returns status.
int refuse(int status, const QString &message, const QString &hint = QString());

}  // namespace pairwick::cli
