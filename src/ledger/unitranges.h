// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QStringList>

#include "ledger/migrationprogress.h"

namespace pairwick::ledger {

// A migration's statements that go through every unit run a range of units at a time, inside the
// migration's one transaction, so that its progress can be told and a stop can come between two
// ranges. Such a statement names the range as %unitRange(TABLE), TABLE being a table or alias
// with the unit's batch and seq columns; consecutive ones run together, range by range.
class UnitRanges {
public:
    // A new ledger (from 0) has nothing to tell, and watch is not called.
    UnitRanges(const QSqlDatabase &database, int from, int to, MigrationWatch watch);

    static bool isRanged(const QString &statement);
    static int passesOf(const QStringList &statements);
    // Tells the migration's start at once, then counts the units of passes passes.
    void begin(int passes);
    // Each range of units through every one of statements in turn.
    void run(const QStringList &statements);
    void end();

private:
    void tell(MigrationProgress::Stage stage);
    qint64 count(const QString &batch, qint64 after);

    QSqlDatabase m_database;
    MigrationWatch m_watch;
    MigrationProgress m_progress;
    QElapsedTimer m_clock;
};

}  // namespace pairwick::ledger
