// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/schema.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QStringList>
#include <array>
#include <utility>

#include "ledger/labelrecords.h"
#include "ledger/ledger.h"
#include "ledger/ledgerroles.h"
#include "ledger/migrationaccess.h"
#include "ledger/serverfunctions.h"
#include "ledger/sqldialect.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedtextcodes.h"
#include "ledger/unitranges.h"
#include "ledger/yieldschema.h"

namespace pairwick::ledger {

namespace {

// Step N brings version N to N + 1; a new version is one more entry. The same SQL serves both
// databases: BIGINT is an integer to SQLite, and times are ISO-8601 text in UTC. Where the two
// spell a thing apart, the step names it as a %-placeholder filled in by dialectOf(). A statement
// over every unit names its range as %unitRange(TABLE) and runs a range at a time (UnitRanges),
// so that a long migration can tell how far it is.
struct Step {
    QStringList statements;
    QStringList postgresOnly;
    // What SQL alone cannot do, after the statements.
    void (*convert)(const QSqlDatabase &database) = nullptr;
    QStringList sqliteOnly = {};
};

Step yieldRollupsStep() {
    const YieldSchemaChanges changes = yieldRollupChanges();
    return Step{changes.statements, changes.postgresOnly, nullptr, changes.sqliteOnly};
}

// The reservation and the end took new parameters with the codes: the old ones go, and a
// station's role, which could call them, may call the new ones.
QStringList withCodesOnServer() {
    // Where they never were (a ledger made new), the server's notice of it is no news to anyone.
    return QStringList{QStringLiteral("SET LOCAL client_min_messages = warning"),
                       QStringLiteral("DROP FUNCTION IF EXISTS pairwick_begin_attempt(TEXT, TEXT,"
                                      " TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, BIGINT, BIGINT)"),
                       QStringLiteral("DROP FUNCTION IF EXISTS pairwick_finish_attempt(TEXT, TEXT,"
                                      " TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT, TEXT)")} +
           serverFunctions() +
           QStringList{QStringLiteral("DO $$ BEGIN IF EXISTS (SELECT FROM pg_catalog.pg_roles"
                                      " WHERE rolname = '%1') THEN GRANT EXECUTE ON FUNCTION"
                                      " pairwick_begin_attempt, pairwick_finish_attempt TO %1;"
                                      " END IF; END $$")
                           .arg(QLatin1String(StationRole))};
}

const std::array<Step, SchemaVersion> Steps{
    Step{QStringList{
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
         {}},
    // A unit's state and a batch's counts kept on their rows, so that nothing has to count a
    // batch's attempts again; worked out once here from the records already held.
    Step{
        QStringList{
            QStringLiteral("ALTER TABLE units ADD COLUMN name TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE units ADD COLUMN state TEXT NOT NULL DEFAULT 'reserved'"),
            QStringLiteral("ALTER TABLE units ADD COLUMN latest_attempt TEXT"),
            QStringLiteral("ALTER TABLE units ADD COLUMN station TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE units ADD COLUMN slot TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE units ADD COLUMN attempts BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE units ADD COLUMN version TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE units ADD COLUMN latest TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN units BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN passed BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN failed BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN interrupted BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN first_activity TEXT"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN last_activity TEXT"),
            QStringLiteral("CREATE TABLE batch_stations ("
                           " batch TEXT NOT NULL REFERENCES batches (name),"
                           " station TEXT NOT NULL,"
                           " PRIMARY KEY (batch, station))"),
            QStringLiteral("UPDATE units SET name = COALESCE(%name, ''),"
                           " latest_attempt = (SELECT a.id FROM attempts a"
                           "  WHERE a.batch = units.batch AND a.seq = units.seq"
                           "  ORDER BY a.started DESC, a.id DESC LIMIT 1),"
                           " attempts = (SELECT COUNT(*) FROM attempts a"
                           "  WHERE a.batch = units.batch AND a.seq = units.seq),"
                           " version = COALESCE((SELECT a.version FROM attempts a"
                           "  WHERE a.batch = units.batch AND a.seq = units.seq AND a.version <> ''"
                           "  ORDER BY a.started DESC, a.id DESC LIMIT 1), ''),"
                           " latest = COALESCE((SELECT MAX(COALESCE(a.ended, a.started))"
                           "  FROM attempts a WHERE a.batch = units.batch AND a.seq = units.seq),"
                           "  created) WHERE %unitRange(units)"),
            QStringLiteral("UPDATE units SET"
                           " state = CASE WHEN EXISTS (SELECT 1 FROM attempts p"
                           "  WHERE p.batch = units.batch AND p.seq = units.seq"
                           "  AND p.result = 'passed') THEN 'passed'"
                           "  ELSE COALESCE((SELECT l.result FROM attempts l"
                           "  WHERE l.id = units.latest_attempt), 'reserved') END,"
                           " station = COALESCE((SELECT l.station FROM attempts l"
                           "  WHERE l.id = units.latest_attempt), ''),"
                           " slot = COALESCE((SELECT l.slot FROM attempts l"
                           "  WHERE l.id = units.latest_attempt), '') WHERE %unitRange(units)"),
            // Made once the units are filled in: before, SQLite's planner walked a batch's attempts
            // in order for each unit instead of looking its own up, and every update kept them.
            QStringLiteral("CREATE INDEX attempts_open ON attempts (batch, started) "
                           "WHERE ended IS NULL"),
            QStringLiteral("CREATE INDEX attempts_in_order ON attempts (batch, started, id)"),
            QStringLiteral("CREATE INDEX units_by_latest ON units (batch, latest)"),
            QStringLiteral("CREATE INDEX units_by_name ON units (batch, name)"),
            QStringLiteral("CREATE INDEX units_by_state ON units (batch, state, seq)"),
            QStringLiteral("UPDATE batches SET"
                           " units = (SELECT COUNT(*) FROM units u WHERE u.batch = batches.name),"
                           " passed = (SELECT COUNT(*) FROM units u"
                           "  WHERE u.batch = batches.name AND u.state = 'passed'),"
                           " failed = (SELECT COUNT(*) FROM units u"
                           "  WHERE u.batch = batches.name AND u.state = 'failed'),"
                           " interrupted = (SELECT COUNT(*) FROM units u"
                           "  WHERE u.batch = batches.name AND u.state = 'interrupted'),"
                           " first_activity = (SELECT MIN(a.started) FROM attempts a"
                           "  WHERE a.batch = batches.name),"
                           " last_activity = (SELECT MAX(COALESCE(a.ended, a.started))"
                           "  FROM attempts a WHERE a.batch = batches.name)"),
            QStringLiteral("INSERT INTO batch_stations (batch, station)"
                           " SELECT DISTINCT batch, station FROM attempts"),
            // The keys whose command went out without a complete answer: their outcome is unknown.
            QStringLiteral("ALTER TABLE attempts ADD COLUMN sent TEXT NOT NULL DEFAULT '[]'"),
        },
        {}},
    // The window's table sorted by any of its columns from an index. (The server's functions
    // that came with this step are made by the last step that changed them.)
    Step{{QStringLiteral("CREATE INDEX units_by_station ON units (batch, station, seq)"),
          QStringLiteral("CREATE INDEX units_by_slot ON units (batch, slot, seq)"),
          QStringLiteral("CREATE INDEX units_by_attempts ON units (batch, attempts, seq)")},
         {}},
    // A search by the beginning of a name or an address reads only the units that match.
    Step{{QStringLiteral("CREATE INDEX units_by_name_key ON units (batch, %nameKey)"),
          QStringLiteral("CREATE INDEX units_by_address_key ON units (batch, %addressKey)")},
         {}},
    // A reservation and an end in one statement each on a server that may be far away, and
    // every change a station makes through a function of the owner's that knows which login
    // began an attempt: a station's role needs no right to change a table. SQLite has no logins.
    // (The functions are made by the last step that changed them, below.)
    Step{{},
         QStringList{
             QStringLiteral("ALTER TABLE attempts ADD COLUMN login TEXT NOT NULL DEFAULT ''")}},
    // An attempt's step and error as codes with the detail beside them, whatever the language
    // of the station that wrote it; who ran the station; the batch's limit of failures and its
    // units rejected by it.
    Step{{QStringLiteral("ALTER TABLE attempts ADD COLUMN detail TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE attempts ADD COLUMN operator_name TEXT NOT NULL DEFAULT ''"),
          QStringLiteral("ALTER TABLE batches ADD COLUMN max_attempts BIGINT NOT NULL DEFAULT 0"),
          QStringLiteral("ALTER TABLE batches ADD COLUMN rejected BIGINT NOT NULL DEFAULT 0")},
         withCodesOnServer(),
         convertStoredTexts},
    // Every label sent, with the template, the printer and why; a station records one only
    // through a function of the owner's.
    Step{labelTableStatements(), labelServerFunctions()},
    // The line's yield kept by the hour, so that a report never counts the attempts again.
    yieldRollupsStep(),
};

// As PostgreSQL writes the name where the ledger's tables are made.
QString ledgerSchema(const QSqlDatabase &database) {
    SqlStatement query(database, QStringLiteral("SELECT quote_ident(current_schema())"));
    query.exec().next();
    const QString schema = query.text(0);
    query.finish();
    return schema;
}

int storedVersion(const QSqlDatabase &database) {
    if (!database.tables().contains(QStringLiteral("schema_version")))
        return 0;
    SqlStatement query(database, QStringLiteral("SELECT MAX(version) FROM schema_version"));
    query.exec();
    return query.next() ? int(query.number(0)) : 0;
}

}  // namespace

void bringSchemaUpToDate(const QSqlDatabase &database, bool sqlite, const QString &url,
                         const MigrationWatch &watch) {
    // SQLite's BEGIN IMMEDIATE already keeps every other writer out; PostgreSQL needs a lock of
    // its own, or two stations opening a new database would both create the tables.
    if (!sqlite)
        lockOutOtherOpeners(database, watch);
    const int version = storedVersion(database);
    if (version > SchemaVersion)
        throw SchemaRefused(
            QCoreApplication::translate(
                "pairwick::ledger", "位于 %1 的台账的结构版本是 %2；本 pairwick 最多认识版本 %3")
                .arg(url)
                .arg(version)
                .arg(SchemaVersion));
    if (version == SchemaVersion)
        return;
    const QString schema = sqlite ? QString() : ledgerSchema(database);
    if (!sqlite)
        ensureMayMigrate(database, version, url);
    UnitRanges units(database, version, SchemaVersion, watch);
    int passes = 0;
    for (int step = version; step < SchemaVersion; ++step)
        passes += UnitRanges::passesOf(Steps[std::size_t(step)].statements);
    units.begin(passes);
    for (int step = version; step < SchemaVersion; ++step) {
        const Step &changes = Steps[std::size_t(step)];
        QStringList ranged;
        for (const QString &statement : changes.statements) {
            if (UnitRanges::isRanged(statement)) {
                ranged.append(dialectOf(statement, sqlite));
                continue;
            }
            units.run(std::exchange(ranged, {}));
            SqlStatement::execute(database, dialectOf(statement, sqlite));
        }
        units.run(ranged);
        for (QString statement : sqlite ? changes.sqliteOnly : changes.postgresOnly)
            SqlStatement::execute(
                database, dialectOf(statement.replace(QStringLiteral("%schema"), schema), sqlite));
        if (changes.convert)
            changes.convert(database);
    }
    SqlStatement(database, QStringLiteral("UPDATE schema_version SET version = :version"))
        .bind(QStringLiteral(":version"), qint64(SchemaVersion))
        .exec();
    units.end();
}

}  // namespace pairwick::ledger
