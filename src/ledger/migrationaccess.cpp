// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/migrationaccess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QThread>

#include "ledger/schema.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

// Often enough that a wait is told and a stop is heard at once, rarely enough to cost the server
// nothing.
constexpr unsigned long LockPollMs = 250;

}  // namespace

bool callerOwnsLedger(const QSqlDatabase &database) {
    // Before the tables exist, whoever may make them in the schema is their owner to be.
    SqlStatement query(database,
                       QStringLiteral("SELECT CASE WHEN to_regclass('schema_version') IS NULL"
                                      " THEN has_schema_privilege(current_schema(), 'CREATE')"
                                      " ELSE pg_has_role((SELECT relowner FROM pg_class"
                                      "  WHERE oid = to_regclass('schema_version')), 'USAGE')"
                                      " END IS TRUE"));
    query.exec().next();
    const bool owns = query.text(0) == u"t";
    query.finish();
    return owns;
}

// Only the schema's owner may change it: a station's or an auditor's role that meets an older
// schema is told whose job that is, where it would otherwise fail on the first change.
void ensureMayMigrate(const QSqlDatabase &database, int version, const QString &url) {
    if (callerOwnsLedger(database))
        return;
    throw SchemaRefused(
        version == 0
            ? QCoreApplication::translate(
                  "pairwick::ledger",
                  "位于 %1 的台账还没有表，而这个登录不能创建它们：台账的所"
                  "有者须先以自己的身份打开它一次（pairwick-cli ledger "
                  "check），再授予角色（pairwick-cli ledger roles --apply）")
                  .arg(url)
            : QCoreApplication::translate(
                  "pairwick::ledger",
                  "位于 %1 的台账的结构版本是 %2，本 pairwick 需要版本 %3，而只有台账的所有者能更新"
                  "它：所有者须以自己的身份用本 pairwick 打开它一次（pairwick-cli ledger check）")
                  .arg(url)
                  .arg(version)
                  .arg(SchemaVersion));
}

// Another opener waits for the migration's lock: told so, where it would hang without a word.
void lockOutOtherOpeners(const QSqlDatabase &database, const MigrationWatch &watch) {
    if (!watch) {
        SqlStatement::execute(database, QStringLiteral("SELECT pg_advisory_xact_lock(7365)"));
        return;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        SqlStatement lock(database, QStringLiteral("SELECT pg_try_advisory_xact_lock(7365)"));
        lock.exec().next();
        const bool locked = lock.text(0) == u"t";
        lock.finish();
        if (locked)
            return;
        MigrationProgress progress;
        progress.stage = MigrationProgress::Stage::Waiting;
        progress.to = SchemaVersion;
        progress.seconds = double(waited.elapsed()) / 1000;
        watch(progress);
        QThread::msleep(LockPollMs);
    }
}

}  // namespace pairwick::ledger
