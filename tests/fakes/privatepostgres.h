// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace pairwick::fakes {

// A PostgreSQL 15 server of the test's own: a cluster in a temporary folder under /tmp that
// listens on a Unix socket there and on no TCP port, trusting whoever reaches the socket. As
// root the server runs as the postgres user, since initdb refuses root. Stopped and removed
// with the object.
class PrivatePostgres {
public:
    PrivatePostgres();
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres &) = delete;
    PrivatePostgres &operator=(const PrivatePostgres &) = delete;

    // Empty while the server runs; else what went wrong, with the tool's own output.
    const QString &problem() const { return m_problem; }

    // A new, empty database, and the ledger URL that reaches it; empty on failure (see problem).
    QString createDatabase(const QString &name);

    // For outages: the server goes away (fast shutdown, connections cut) and comes back.
    bool stop();
    bool start();

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_folder;
    QString m_problem;
    bool m_running = false;
};

}  // namespace pairwick::fakes
