// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatepostgres.h"

#include <pwd.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>

namespace pairwick::fakes {

namespace {

const QString Binaries = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr int ToolTimeoutMs = 60000;

bool asRoot() {
    return ::geteuid() == 0;
}

}  // namespace

// A short folder: a socket's path may not exceed 107 bytes.
PrivatePostgres::PrivatePostgres() : m_folder(QStringLiteral("/tmp/pgXXXXXX")) {
    if (!m_folder.isValid()) {
        m_problem = QStringLiteral("no temporary folder: %1").arg(m_folder.errorString());
        return;
    }
    if (asRoot()) {
        const passwd *postgres = ::getpwnam("postgres");
        if (!postgres || ::chown(QFile::encodeName(m_folder.path()).constData(), postgres->pw_uid,
                                 postgres->pw_gid) != 0) {
            m_problem = QStringLiteral("running as root, and the postgres user cannot own %1")
                            .arg(m_folder.path());
            return;
        }
    }
    if (run(Binaries + QStringLiteral("initdb"),
            {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
             QStringLiteral("--auth=trust"), QStringLiteral("-U"), QStringLiteral("postgres"),
             QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
             QStringLiteral("--no-sync")}))
        start();
}

PrivatePostgres::~PrivatePostgres() {
    stop();
}

bool PrivatePostgres::start() {
    // fsync off: the tests survive a server's restart, not a machine's.
    m_running = run(Binaries + QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
                     QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
                     QStringLiteral("-w"), QStringLiteral("-o"),
                     QStringLiteral("-c listen_addresses='' -c fsync=off -k ") + m_folder.path(),
                     QStringLiteral("start")});
    return m_running;
}

bool PrivatePostgres::stop() {
    if (!m_running)
        return true;
    m_running =
        !run(Binaries + QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")), QStringLiteral("-m"),
              QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
    return !m_running;
}

QString PrivatePostgres::createDatabase(const QString &name) {
    if (!run(Binaries + QStringLiteral("createdb"),
             {QStringLiteral("-h"), m_folder.path(), QStringLiteral("-U"),
              QStringLiteral("postgres"), name}))
        return {};
    return QStringLiteral("postgresql://postgres@/%1?host=%2").arg(name, m_folder.path());
}

bool PrivatePostgres::run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setWorkingDirectory(m_folder.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asRoot())
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                  QStringLiteral("--"), program} +
                          arguments);
    else
        process.start(program, arguments);
    const bool finished = process.waitForFinished(ToolTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) {
        m_problem.clear();
        return true;
    }
    m_problem = QStringLiteral("%1 %2 failed: %3%4")
                    .arg(program, arguments.join(u' '), process.errorString(),
                         QString::fromLocal8Bit(process.readAll()));
    return false;
}

}  // namespace pairwick::fakes
