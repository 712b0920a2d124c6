// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "ledger/ledgerlocation.h"
#include "ledger/migrationprogress.h"

namespace pairwick::ledger {
class Ledger;
}

namespace pairwick::stationwindow {

// One thread where the window's own ledger work waits (start-up, listings), so that the window
// never does: a PostgreSQL server that does not answer holds up this thread, not the screen.
class BackgroundQueue final : public QObject {
    Q_OBJECT

public:
    // Runs on the queue's thread; what it returns runs afterwards on the window's thread.
    using Work = std::function<std::function<void()>()>;

    explicit BackgroundQueue(QObject *parent = nullptr);
    // Waits for the work in hand; what is still queued is dropped.
    ~BackgroundQueue() override;

    // The result is dropped when context is gone by the time it is ready.
    void post(QObject *context, Work work);

    using Read = std::function<std::function<void()>(ledger::Ledger &ledger)>;
    // Reads a ledger that exists already, with a connection of the queue's own, kept from one
    // read to the next (a table that refreshes every few seconds would otherwise connect, and
    // check the schema, each time); what read returns runs on context's thread, or failed with
    // the reason when the ledger cannot be read.
    void readLedger(QObject *context, const ledger::LedgerLocation &location, Read read,
                    std::function<void(const QString &problem)> failed);

    // For the work that opens a ledger: tells a migration of its schema on standard error and
    // through migrationProgress, and ends it once stopMigration was called.
    ledger::MigrationWatch migrationWatch();
    // The migration in hand rolls back, and the ledger keeps its schema: the window is closing.
    void stopMigration() { m_migrationStopped.store(true); }

signals:
    // The migration's progress in words; sent from the queue's thread.
    void migrationProgress(const QString &text);

private:
    QThread m_thread;
    QObject *m_worker;
    // Made, used and destroyed on m_thread alone, as a database connection must be.
    std::unique_ptr<ledger::Ledger> m_ledger;
    std::atomic_bool m_migrationStopped{false};
};

}  // namespace pairwick::stationwindow
