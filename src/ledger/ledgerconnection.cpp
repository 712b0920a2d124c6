// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerconnection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QThread>
#include <array>
#include <cerrno>
#include <cstring>

#include "ledger/schema.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

// Long enough for another station's transaction, short enough that a stuck one is reported.
constexpr int SqliteBusyMs = 10000;
const QString SqliteOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(SqliteBusyMs);
// A server that does not answer is reported after this long, unless the URL or
// $PGCONNECT_TIMEOUT says otherwise.
const QString ConnectTimeoutSeconds = QStringLiteral("5");
// A server that vanished without closing the connection (a cable, a failover's old primary)
// is found out within about half a minute instead of the system's two hours, so a slot waiting
// on it goes on to retry. They matter to TCP alone.
const std::array<std::pair<const char *, const char *>, 4> DeadServerOptions{{
    {"keepalives_idle", "10"},
    {"keepalives_interval", "5"},
    {"keepalives_count", "3"},
    {"tcp_user_timeout", "30000"},
}};

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Every missing folder is made for the user alone: the ledger holds PINs.
void makeFolders(const QString &folder) {
    if (QFileInfo(folder).isDir())
        return;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder)
        makeFolders(parent);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        throw LedgerError(QCoreApplication::translate("pairwick::ledger", "无法创建文件夹 %1：%2")
                              .arg(folder, systemError()));
}

// libpq's quoting in a connection string: the value in single quotes, a quote or backslash in it
// after a backslash.
QString quotedOption(const QString &name, const QString &value) {
    QString quoted = value;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("%1='%2'").arg(name, quoted);
}

// What libpq gets beyond the database, user and hosts that Qt's driver passes itself.
QString postgresOptions(const LedgerLocation &location) {
    QStringList options;
    if (!location.port.isEmpty())
        options.append(quotedOption(QStringLiteral("port"), location.port));
    bool timeoutGiven = qEnvironmentVariableIsSet("PGCONNECT_TIMEOUT");
    for (const auto &[name, value] : location.parameters) {
        options.append(quotedOption(name, value));
        timeoutGiven = timeoutGiven || name == u"connect_timeout";
    }
    if (!timeoutGiven)
        options.append(quotedOption(QStringLiteral("connect_timeout"), ConnectTimeoutSeconds));
    for (const auto &[name, value] : DeadServerOptions)
        options.append(quotedOption(QLatin1String(name), QLatin1String(value)));
    if (!location.fallbackApplicationName.isEmpty())
        options.append(quotedOption(QStringLiteral("fallback_application_name"),
                                    location.fallbackApplicationName));
    return options.join(u' ');
}

}  // namespace

LedgerConnection::LedgerConnection(const LedgerLocation &location, const QString &connectionName,
                                   Ledger::Opening opening, MigrationWatch watch)
    : m_location(location), m_name(connectionName), m_opening(opening), m_watch(std::move(watch)) {
    QSqlDatabase database = QSqlDatabase::addDatabase(
        isSqlite() ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), m_name);
    if (isSqlite()) {
        database.setDatabaseName(m_location.path);
        database.setConnectOptions(SqliteOptions);
    } else {
        database.setDatabaseName(m_location.database);
        database.setHostName(m_location.host);
        database.setUserName(m_location.user);
        database.setConnectOptions(postgresOptions(m_location));
    }
}

LedgerConnection::~LedgerConnection() {
    database().close();
    QSqlDatabase::removeDatabase(m_name);
}

void LedgerConnection::ensureOpen() {
    QSqlDatabase db = database();
    if (!db.isValid())
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger",
                                        "无法打开位于 %1 的台账：本系统缺少 Qt 的 %2 驱动")
                .arg(m_location.url(),
                     isSqlite() ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL")));
    if (db.isOpen())
        return;
    // Two stations opening one new SQLite file at once: switching it to WAL needs the file to
    // itself for a moment, and SQLite reports that as locked at once instead of waiting.
    const QDeadlineTimer deadline(SqliteBusyMs);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            openOnce(db);
            return;
        } catch (const LedgerError &error) {
            if (!isSqlite() || !error.message().contains(QLatin1String("database is locked")))
                throw;
            // Held longer than any station's transaction takes: another program migrates it. An
            // opener that is watched waits for it and says so; a stop ends the wait.
            if (deadline.hasExpired() && !m_watch)
                throw;
            if (deadline.hasExpired()) {
                MigrationProgress progress;
                progress.stage = MigrationProgress::Stage::Waiting;
                progress.seconds = double(waited.elapsed()) / 1000;
                m_watch(progress);
            }
        }
        QThread::msleep(50);
    }
}

void LedgerConnection::openOnce(QSqlDatabase &db) {
    try {
        if (isSqlite())
            prepareSqliteFile();
        if (!db.open())
            throw LedgerError(db.lastError().text());
        if (isSqlite())
            configureSqlite();
        begin();
        bringSchemaUpToDate(db, isSqlite(), m_location.url(), m_watch);
        commit();
    } catch (const SchemaRefused &) {
        dropAfterFailure();
        throw;
    } catch (const LedgerError &error) {
        dropAfterFailure();
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "无法打开位于 %1 的台账：%2")
                .arg(m_location.url(), error.message()));
    }
}

// SQLite would create a missing file with the umask's permissions, readable by everyone.
void LedgerConnection::prepareSqliteFile() {
    const QString path = m_location.path;
    if (QFileInfo::exists(path))
        return;
    if (m_opening == Ledger::Opening::ExistingOnly)
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "没有台账文件 %1").arg(path));
    makeFolders(QFileInfo(path).path());
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0 && errno != EEXIST)
        throw LedgerError(QCoreApplication::translate("pairwick::ledger", "无法创建 %1：%2")
                              .arg(path, systemError()));
    if (descriptor >= 0)
        ::close(descriptor);
}

// WAL lets readers go on while a station writes; FULL makes a committed number survive a power
// cut.
void LedgerConnection::configureSqlite() {
    const QSqlDatabase db = database();
    SqlStatement::execute(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    SqlStatement::execute(db, QStringLiteral("PRAGMA synchronous=FULL"));
    SqlStatement::execute(db, QStringLiteral("PRAGMA foreign_keys=ON"));
}

// Qt's transaction() begins a deferred SQLite transaction, which two writers can both hold for
// reading and then neither can upgrade; IMMEDIATE takes the write lock first, or waits for it.
// A deferred one suits a reader: in WAL mode it reads one snapshot and locks out no writer.
void LedgerConnection::begin(Transaction transaction) {
    const bool write = transaction == Transaction::Write;
    SqlStatement::execute(
        database(), isSqlite()
                        ? (write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"))
                        : (write ? QStringLiteral("BEGIN")
                                 : QStringLiteral("BEGIN ISOLATION LEVEL "
                                                  "REPEATABLE READ READ ONLY")));
    m_inTransaction = true;
}

void LedgerConnection::commit() {
    SqlStatement::execute(database(), QStringLiteral("COMMIT"));
    m_inTransaction = false;
}

// Whatever broke, the connection is not trusted again: the next operation opens a new one.
void LedgerConnection::dropAfterFailure() {
    QSqlDatabase db = database();
    if (m_inTransaction && db.isOpen())
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    db.close();
}

}  // namespace pairwick::ledger
