// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "ledger/ledger.h"

namespace pairwick::cli {

// Records of one kind as columns of JSON values: the same columns make the table for people,
// the CSV and the JSON document, so the three never tell different things.
struct LedgerListing {
    QString kind;  // "batches", "units" or "attempts": the JSON document's key
    QStringList columns;
    QList<QJsonArray> rows;

    QString table() const;
    QByteArray csv() const;
    // {"ledger": URL, KIND: [{COLUMN: VALUE, ...}, ...]}
    QByteArray json(const QString &url) const;
};

LedgerListing listBatches(const QList<ledger::BatchSummary> &batches);
LedgerListing listUnits(const QList<ledger::UnitRow> &units);
LedgerListing listAttempts(const QList<ledger::AttemptRow> &attempts);

}  // namespace pairwick::cli
