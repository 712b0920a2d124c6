// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/schema.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QStringList>
#include <array>

#include "ledger/ledger.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

// Step N brings version N to N + 1; a new version is one more entry. The same SQL serves both
// databases: BIGINT is an integer to SQLite, and times are ISO-8601 text in UTC.
const std::array<QStringList, SchemaVersion> Steps{
    QStringList{
        QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
        QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"),
        QStringLiteral("CREATE TABLE batches ("
                       " name TEXT PRIMARY KEY,"
                       " rules TEXT NOT NULL,"
                       " first_seq BIGINT NOT NULL,"
                       " next_seq BIGINT NOT NULL,"
                       " created TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE units ("
                       " batch TEXT NOT NULL REFERENCES batches (name),"
                       " seq BIGINT NOT NULL,"
                       " address TEXT NOT NULL,"
                       " unit_values TEXT NOT NULL,"
                       " values_problem TEXT NOT NULL,"
                       " created TEXT NOT NULL,"
                       " PRIMARY KEY (batch, seq),"
                       " UNIQUE (batch, address))"),
        QStringLiteral("CREATE TABLE attempts ("
                       " id TEXT PRIMARY KEY,"
                       " batch TEXT NOT NULL,"
                       " seq BIGINT NOT NULL,"
                       " address TEXT NOT NULL,"
                       " station TEXT NOT NULL,"
                       " slot TEXT NOT NULL,"
                       " device TEXT NOT NULL,"
                       " started TEXT NOT NULL,"
                       " ended TEXT,"
                       " result TEXT NOT NULL,"
                       " step TEXT NOT NULL DEFAULT '',"
                       " error TEXT NOT NULL DEFAULT '',"
                       " found TEXT NOT NULL,"
                       " read_back TEXT NOT NULL DEFAULT '{}',"
                       " version TEXT NOT NULL DEFAULT '',"
                       " written TEXT NOT NULL DEFAULT '[]',"
                       " unchanged TEXT NOT NULL DEFAULT '[]',"
                       " on_pass_status INTEGER,"
                       " FOREIGN KEY (batch, seq) REFERENCES units (batch, seq))"),
        QStringLiteral("CREATE INDEX attempts_of_unit ON attempts (batch, seq, started)"),
        QStringLiteral("CREATE INDEX attempts_of_address ON attempts (batch, address, ended)"),
        QStringLiteral("CREATE INDEX attempts_of_station ON attempts (station, ended)"),
    },
    QStringList{
        // The keys whose command went out without a complete answer: their outcome is unknown.
        QStringLiteral("ALTER TABLE attempts ADD COLUMN sent TEXT NOT NULL DEFAULT '[]'"),
    },
};

int storedVersion(const QSqlDatabase &database) {
    if (!database.tables().contains(QStringLiteral("schema_version")))
        return 0;
    SqlStatement query(database, QStringLiteral("SELECT MAX(version) FROM schema_version"));
    query.exec();
    return query.next() ? int(query.number(0)) : 0;
}

}  // namespace

void bringSchemaUpToDate(const QSqlDatabase &database, bool sqlite, const QString &url) {
    // SQLite's BEGIN IMMEDIATE already keeps every other writer out; PostgreSQL needs a lock of
    // its own, or two stations opening a new database would both create the tables.
    if (!sqlite)
        SqlStatement::execute(database, QStringLiteral("SELECT pg_advisory_xact_lock(7365)"));
    const int version = storedVersion(database);
    if (version > SchemaVersion)
        throw NewerSchema(
            QCoreApplication::translate(
                "pairwick::ledger", "位于 %1 的台账的结构版本是 %2；本 pairwick 最多认识版本 %3")
                .arg(url)
                .arg(version)
                .arg(SchemaVersion));
    if (version == SchemaVersion)
        return;
    for (int step = version; step < SchemaVersion; ++step) {
        for (const QString &statement : Steps[std::size_t(step)])
            SqlStatement::execute(database, statement);
    }
    SqlStatement(database, QStringLiteral("UPDATE schema_version SET version = :version"))
        .bind(QStringLiteral(":version"), qint64(SchemaVersion))
        .exec();
}

}  // namespace pairwick::ledger
