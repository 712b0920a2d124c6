// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>
#include <utility>

#include "ledger/ledger.h"
#include "ledger/ledgerlocation.h"

namespace pairwick::ledger {

// One thread's connection to the ledger's database, opened again after it broke: every
// operation that failed closes it, and the next one opens it anew, so a restarted server or an
// outage costs the operations that met it and no more.
class LedgerConnection {
public:
    LedgerConnection(const LedgerLocation &location, const QString &connectionName,
                     Ledger::Opening opening, MigrationWatch watch = {});
    ~LedgerConnection();
    LedgerConnection(const LedgerConnection &) = delete;
    LedgerConnection &operator=(const LedgerConnection &) = delete;

    bool isSqlite() const { return m_location.kind == LedgerLocation::Kind::Sqlite; }
    // Only for the duration of one operation: Qt forbids a QSqlDatabase alive at its removal.
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }

    // Runs op on an open connection; a failure is told as "WHAT failed: REASON".
    template <typename Operation>
    auto run(const QString &what, Operation op) {
        return guarded(what, Transaction::None, op);
    }
    // The same inside one write transaction, committed when op returns.
    template <typename Operation>
    auto inTransaction(const QString &what, Operation op) {
        return guarded(what, Transaction::Write, op);
    }
    // The same on one view of the ledger as it stood when op began, which holds up no writer:
    // for reading several tables that stations change meanwhile.
    template <typename Operation>
    auto inSnapshot(const QString &what, Operation op) {
        return guarded(what, Transaction::Snapshot, op);
    }

private:
    enum class Transaction { None, Write, Snapshot };

    template <typename Operation>
    auto guarded(const QString &what, Transaction transaction, Operation op) {
        ensureOpen();
        try {
            if (transaction != Transaction::None)
                begin(transaction);
            if constexpr (std::is_void_v<decltype(op())>) {
                op();
                if (transaction != Transaction::None)
                    commit();
            } else {
                auto result = op();
                if (transaction != Transaction::None)
                    commit();
                return result;
            }
        } catch (const LedgerError &error) {
            dropAfterFailure();
            throw LedgerError(QCoreApplication::translate("pairwick::ledger", "%1：%2失败：%3")
                                  .arg(m_location.url(), what, error.message()));
        } catch (...) {
            dropAfterFailure();
            throw;
        }
    }

    // Throws a message of its own, whole: the URL and why it does not open.
    void ensureOpen();
    void openOnce(QSqlDatabase &db);
    void prepareSqliteFile();
    void configureSqlite();
    void begin(Transaction transaction = Transaction::Write);
    void commit();
    void dropAfterFailure();

    LedgerLocation m_location;
    QString m_name;
    Ledger::Opening m_opening;
    MigrationWatch m_watch;
    bool m_inTransaction = false;
};

}  // namespace pairwick::ledger
