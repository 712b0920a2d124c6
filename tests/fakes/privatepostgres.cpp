// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatepostgres.h"

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <functional>

namespace pairwick::fakes {

namespace {

const QString Binaries = QStringLiteral("/usr/lib/postgresql/15/bin/");
constexpr int ToolTimeoutMs = 60000;
constexpr int BouncerPort = 6432;

bool asRoot() {
    return ::geteuid() == 0;
}

bool giveToPostgres(const QString &path) {
    if (!asRoot())
        return true;
    const passwd *postgres = ::getpwnam("postgres");
    return postgres &&
           ::chown(QFile::encodeName(path).constData(), postgres->pw_uid, postgres->pw_gid) == 0;
}

// A port nobody listens on now: the kernel's choice for a socket bound to port 0.
int freeLoopbackPort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (socket >= 0)
        ::close(socket);
    return port;
}

bool waitFor(const std::function<bool()> &condition) {
    const QDeadlineTimer deadline(ToolTimeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

}  // namespace

ServerFolder::ServerFolder() : m_folder(QStringLiteral("/tmp/pgXXXXXX")) {
    if (!m_folder.isValid())
        m_problem = QStringLiteral("no temporary folder: %1").arg(m_folder.errorString());
    else if (!giveToPostgres(m_folder.path()))
        m_problem = QStringLiteral("running as root, and the postgres user cannot own %1")
                        .arg(m_folder.path());
}

bool ServerFolder::write(const QString &name, const QByteArray &content) {
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush() &&
        giveToPostgres(file.fileName()))
        return true;
    m_problem = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

bool ServerFolder::run(const QString &program, const QStringList &arguments) {
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

PrivatePostgres::PrivatePostgres(const QStringList &settings, Listening listening) {
    if (!problem().isEmpty() ||
        !m_folder.run(Binaries + QStringLiteral("initdb"),
                      {QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data")),
                       QStringLiteral("--auth=trust"), QStringLiteral("-U"),
                       QStringLiteral("postgres"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                       QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
        return;
    if (listening == Listening::TlsOnLoopback) {
        m_tcpPort = freeLoopbackPort();
        if (!makeServerCertificate())
            return;
        m_settings = QStringList{
            QStringLiteral("listen_addresses='127.0.0.1'"),
            QStringLiteral("port=%1").arg(m_tcpPort),
            QStringLiteral("ssl=on"),
            QStringLiteral("ssl_cert_file='%1'").arg(m_folder.filePath("server.crt")),
            QStringLiteral("ssl_key_file='%1'").arg(m_folder.filePath("server.key")),
        };
    }
    m_settings += settings;
    start();
}

PrivatePostgres::PrivatePostgres(const PrivatePostgres &primary, const QStringList &settings)
    : m_settings(settings) {
    if (problem().isEmpty() &&
        m_folder.run(Binaries + QStringLiteral("pg_basebackup"),
                     {QStringLiteral("-h"), primary.folder(), QStringLiteral("-U"),
                      QStringLiteral("postgres"), QStringLiteral("-D"),
                      m_folder.filePath(QStringLiteral("data")), QStringLiteral("-R"),
                      QStringLiteral("--checkpoint=fast"), QStringLiteral("--no-sync")}))
        start();
}

PrivatePostgres::~PrivatePostgres() {
    stop();
}

bool PrivatePostgres::start() {
    // fsync off: the tests survive a server's restart, not a machine's.
    QString options = QStringLiteral("-c listen_addresses='' -c fsync=off -k ") + folder();
    for (const QString &setting : std::as_const(m_settings))
        options += QStringLiteral(" -c ") + setting;
    m_running =
        pgCtl({QStringLiteral("-l"), m_folder.filePath(QStringLiteral("server.log")),
               QStringLiteral("-w"), QStringLiteral("-o"), options, QStringLiteral("start")});
    return m_running;
}

bool PrivatePostgres::stop() {
    if (!m_running)
        return true;
    m_running = !pgCtl({QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"),
                        QStringLiteral("stop")});
    return !m_running;
}

bool PrivatePostgres::stopImmediately() {
    m_running = !pgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                        QStringLiteral("stop")});
    return !m_running;
}

bool PrivatePostgres::promote() {
    return pgCtl({QStringLiteral("-w"), QStringLiteral("promote")});
}

bool PrivatePostgres::pgCtl(const QStringList &arguments) {
    return m_folder.run(
        Binaries + QStringLiteral("pg_ctl"),
        QStringList{QStringLiteral("-D"), m_folder.filePath(QStringLiteral("data"))} + arguments);
}

QString PrivatePostgres::port() const {
    return QString::number(m_tcpPort > 0 ? m_tcpPort : 5432);
}

QString PrivatePostgres::createDatabase(const QString &name) {
    if (!m_folder.run(Binaries + QStringLiteral("createdb"),
                      {QStringLiteral("-h"), folder(), QStringLiteral("-p"), port(),
                       QStringLiteral("-U"), QStringLiteral("postgres"), name}))
        return {};
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3").arg(name, folder(), port());
}

bool PrivatePostgres::sql(const QString &database, const QString &user, const QString &statements) {
    return m_folder.run(Binaries + QStringLiteral("psql"),
                        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
                         QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), folder(),
                         QStringLiteral("-p"), port(), QStringLiteral("-U"), user,
                         QStringLiteral("-d"), database, QStringLiteral("-c"), statements});
}

QString PrivatePostgres::makeAuthority(const QString &name) {
    const bool made = m_folder.run(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-keyout"), name + QStringLiteral(".key"), QStringLiteral("-out"),
         name + QStringLiteral(".crt"), QStringLiteral("-days"), QStringLiteral("2"),
         QStringLiteral("-subj"), QStringLiteral("/CN=") + name});
    return made ? m_folder.filePath(name + QStringLiteral(".crt")) : QString();
}

bool PrivatePostgres::makeServerCertificate() {
    return !makeAuthority(QStringLiteral("ca")).isEmpty() &&
           m_folder.write(QStringLiteral("server.ext"),
                          "subjectAltName=DNS:localhost,IP:127.0.0.1\n") &&
           m_folder.run(
               QStringLiteral("openssl"),
               {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                QStringLiteral("-nodes"), QStringLiteral("-keyout"), QStringLiteral("server.key"),
                QStringLiteral("-out"), QStringLiteral("server.csr"), QStringLiteral("-subj"),
                QStringLiteral("/CN=localhost")}) &&
           m_folder.run(
               QStringLiteral("openssl"),
               {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.crt"),
                QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                QStringLiteral("server.crt"), QStringLiteral("-days"), QStringLiteral("2"),
                QStringLiteral("-extfile"), QStringLiteral("server.ext")});
}

PrivatePgBouncer::PrivatePgBouncer(const PrivatePostgres &server) {
    const QString ini = QStringLiteral(
                            "[databases]\n"
                            "* = host=%1 port=5432 user=postgres\n"
                            "[pgbouncer]\n"
                            "listen_addr =\n"
                            "listen_port = %2\n"
                            "unix_socket_dir = %3\n"
                            "auth_type = any\n"
                            "pool_mode = transaction\n"
                            "default_pool_size = 2\n"
                            "min_pool_size = 2\n"
                            "server_round_robin = 1\n"
                            "max_client_conn = 200\n"
                            "pidfile = %3/pgbouncer.pid\n"
                            "logfile = %3/pgbouncer.log\n")
                            .arg(server.folder())
                            .arg(BouncerPort)
                            .arg(m_folder.path());
    const QString socket = m_folder.filePath(QStringLiteral(".s.PGSQL.%1").arg(BouncerPort));
    if (problem().isEmpty() && m_folder.write(QStringLiteral("pgbouncer.ini"), ini.toUtf8()) &&
        m_folder.run(QStringLiteral("/usr/sbin/pgbouncer"),
                     {QStringLiteral("-d"), QStringLiteral("-q"),
                      m_folder.filePath(QStringLiteral("pgbouncer.ini"))}) &&
        !waitFor([&] { return QFile::exists(socket); }))
        m_folder.setProblem(QStringLiteral("pgbouncer made no socket %1").arg(socket));
}

PrivatePgBouncer::~PrivatePgBouncer() {
    QFile pidFile(m_folder.filePath(QStringLiteral("pgbouncer.pid")));
    if (!pidFile.open(QIODevice::ReadOnly))
        return;
    const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
    if (pid > 0 && ::kill(pid, SIGTERM) == 0)
        waitFor([pid] { return ::kill(pid, 0) != 0; });
}

QString PrivatePgBouncer::url(const QString &database) const {
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3")
        .arg(database, m_folder.path())
        .arg(BouncerPort);
}

}  // namespace pairwick::fakes
