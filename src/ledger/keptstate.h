// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlDatabase;

namespace pairwick::ledger {
class SqlStatement;
}

// A unit's state and its batch's counts live on their rows, and every change of an attempt
// changes them in the same transaction: so reading them costs the same in a batch of ten units
// as in one of ten million, and no kill can leave them apart from the records.
namespace pairwick::ledger {

struct AttemptChange {
    QString batch;
    qint64 seq = 0;
    QString attemptId;
    QString result;  // as stored
    QString time;    // as stored: when it began or ended
};

// The result an attempt's end gives its unit: "rejected" for the failure that reaches the
// batch's max_attempts (its own result stays "failed"), else the attempt's own.
QString resultAsKept(const QSqlDatabase &db, const AttemptChange &change);

// A unit was given its number: the batch holds one more.
void keepNewUnit(const QSqlDatabase &db, const QString &batch);
// An attempt was recorded (change.time is its start); the latest one by its start gives its
// unit its station and slot.
void keepAttemptBegun(const QSqlDatabase &db, const AttemptChange &change, const QString &station,
                      const QString &slot);
// An open attempt got its result: it ended, or was given up as interrupted.
void keepAttemptEnded(const QSqlDatabase &db, const AttemptChange &change,
                      const QString &version = {});
// Attempts that an executed UPDATE ... RETURNING id, batch, seq gave up as interrupted at now,
// told to their units once the statement is done with; returns how many.
int keepInterrupted(const QSqlDatabase &db, SqlStatement &update, const QString &now);

}  // namespace pairwick::ledger
