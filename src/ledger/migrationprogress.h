// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace pairwick::ledger {

// What whoever opens a ledger is told while its schema is brought up to date, or while it waits
// for another program that does so.
struct MigrationProgress {
    enum class Stage {
        Waiting,  // another program holds the ledger, migrating it or about to
        Started,  // this one migrates, told before anything is changed
        Working,  // done of total units, counted over every pass through the units
        Done,
    };
    Stage stage = Stage::Started;
    int from = 0;  // the schema's version found
    int to = 0;    // this program's
    qint64 done = 0;
    qint64 total = 0;
    double seconds = 0;  // since the wait or the migration began
};

// Called on the opening thread, between statements of the migration's transaction; one that
// throws LedgerError (a stop was asked for) rolls it back, and the ledger keeps its old schema
// until it is opened again.
using MigrationWatch = std::function<void(const MigrationProgress &progress)>;

// The progress in words, in the language installed, for a terminal's line or a window's status.
QString migrationText(const MigrationProgress &progress);

}  // namespace pairwick::ledger
