// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace pairwick::fakes {

// A short temporary folder under /tmp (a socket's path may not exceed 107 bytes) for a server of
// the test's own, and the tools that run in it: as root they run as the postgres user, who owns
// the folder, since PostgreSQL refuses to run as root.
class ServerFolder {
public:
    ServerFolder();

    // Empty while all went well; else what went wrong, with the tool's own output.
    const QString &problem() const { return m_problem; }
    void setProblem(const QString &problem) { m_problem = problem; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }
    bool write(const QString &name, const QByteArray &content);
    bool run(const QString &program, const QStringList &arguments);

private:
    QTemporaryDir m_folder;
    QString m_problem;
};

// A PostgreSQL 15 server of the test's own: a cluster in a ServerFolder that listens on a Unix
// socket there, trusting whoever reaches it. Stopped and removed with the object.
class PrivatePostgres {
public:
    enum class Listening {
        SocketOnly,
        // Also on a free TCP port of 127.0.0.1 with ssl = on, its certificate (for localhost
        // and 127.0.0.1) signed by an authority it makes with openssl.
        TlsOnLoopback,
    };

    // settings: "name=value" server settings given at every start, after the fake's own.
    explicit PrivatePostgres(const QStringList &settings = {},
                             Listening listening = Listening::SocketOnly);
    // A standby of primary: a base backup of it that streams from it (pg_basebackup -R).
    PrivatePostgres(const PrivatePostgres &primary, const QStringList &settings);
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres &) = delete;
    PrivatePostgres &operator=(const PrivatePostgres &) = delete;

    // Empty while the server runs; else what went wrong, with the tool's own output.
    const QString &problem() const { return m_folder.problem(); }
    // Its socket's folder.
    QString folder() const { return m_folder.path(); }
    int tcpPort() const { return m_tcpPort; }
    // The certificate of the authority that signed the server's (TlsOnLoopback).
    QString authority() const { return m_folder.filePath(QStringLiteral("ca.crt")); }
    // Another authority's certificate, which signed nothing of the server's; empty on failure.
    QString makeAuthority(const QString &name);

    // A new, empty database, and the ledger URL that reaches it through the socket; empty on
    // failure (see problem).
    QString createDatabase(const QString &name);

    // Runs statements in database as user through psql, stopping at the first error: false
    // then, with psql's words in problem().
    bool sql(const QString &database, const QString &user, const QString &statements);

    // For outages: the server goes away (fast shutdown, connections cut) and comes back.
    bool stop();
    bool start();
    // A crash: the server ends at once, without a shutdown checkpoint.
    bool stopImmediately();
    // A standby becomes a primary that takes writes.
    bool promote();

private:
    bool makeServerCertificate();
    bool pgCtl(const QStringList &arguments);
    QString port() const;

    ServerFolder m_folder;
    QStringList m_settings;
    int m_tcpPort = 0;
    bool m_running = false;
};

// A PgBouncer of the test's own in front of a private server, in transaction pooling mode with a
// pool of two server connections, fewer than its clients, taken in turn, so that one client's
// consecutive transactions meet different sessions of the server. Listens on a socket in a folder
// of its own.
class PrivatePgBouncer {
public:
    explicit PrivatePgBouncer(const PrivatePostgres &server);
    ~PrivatePgBouncer();
    PrivatePgBouncer(const PrivatePgBouncer &) = delete;
    PrivatePgBouncer &operator=(const PrivatePgBouncer &) = delete;

    const QString &problem() const { return m_folder.problem(); }
    // The ledger URL of one of the server's databases through the pooler.
    QString url(const QString &database) const;

private:
    ServerFolder m_folder;
};

}  // namespace pairwick::fakes
