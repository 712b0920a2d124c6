// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "ledger/ledger.h"

namespace pairwick::ledger {

// Records of one kind as columns of JSON values: the same columns make the table for people,
// the CSV and the JSON, wherever they are shown, so they never tell different things. Batches
// are few and listed whole; units and attempts go one row at a time.
struct LedgerListing {
    QString kind;  // "batches", "units" or "attempts": the JSON document's key
    QStringList columns;
    QList<QJsonArray> rows;

    // Every cell as a table shows it: lists words apart, objects compact JSON.
    QList<QStringList> cellTexts() const;
    // {"ledger": URL, KIND: [{COLUMN: VALUE, ...}, ...]}
    QByteArray json(const QString &url) const;
};

// Text as a terminal or a window shows it without acting on it: every control character as an
// escape ("\n", "\x1b"). For names a ledger stored before they were checked.
QString withControlsEscaped(const QString &text);

LedgerListing listBatches(const QList<BatchSummary> &batches);

const QStringList &unitColumns();
const QStringList &attemptColumns();
QJsonArray unitCells(const UnitRow &unit);
QJsonArray attemptCells(const AttemptRow &attempt);
const QStringList &labelColumns();
QJsonArray labelCells(const LabelRecord &label);

// One row's cells as a table shows them: lists words apart, objects compact JSON.
QStringList cellTexts(const QJsonArray &row);
// One row as a JSON object on a line of its own.
QByteArray jsonLine(const QStringList &columns, const QJsonArray &row);

}  // namespace pairwick::ledger
