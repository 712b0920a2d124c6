// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledgerroles.h"

#include <QCoreApplication>

#include "ledger/labelrecords.h"
#include "ledger/ledgerprivate.h"
#include "ledger/migrationaccess.h"
#include "ledger/serverfunctions.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

const QString Tables = QStringLiteral(
    "schema_version, batches, units, attempts, batch_stations, labels, yield_cohorts, "
    "yield_durations, yield_failures");

// Roles belong to the whole server and may have been made before, by whoever may create roles;
// the database and the schema are named as the connection finds them.
constexpr const char *MakeRoles = R"sql(DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = '%station') THEN
    CREATE ROLE %station NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = '%auditor') THEN
    CREATE ROLE %auditor NOLOGIN;
  END IF;
  EXECUTE format('GRANT CONNECT ON DATABASE %I TO %station, %auditor', current_database());
  EXECUTE format('REVOKE CREATE ON SCHEMA %I FROM %station, %auditor', current_schema());
  EXECUTE format('GRANT USAGE ON SCHEMA %I TO %station, %auditor', current_schema());
END
$$)sql";

}  // namespace

QStringList rolesStatements() {
    const QString calls = (stationCallNames() << recordLabelCall()).join(QStringLiteral(", "));
    QStringList statements{
        QString::fromLatin1(MakeRoles),
        QStringLiteral("REVOKE ALL ON %1 FROM %station, %auditor").arg(Tables),
        QStringLiteral("GRANT SELECT ON %1 TO %station, %auditor").arg(Tables),
        QStringLiteral("REVOKE ALL ON FUNCTION %1 FROM %auditor").arg(calls),
        QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %station").arg(calls),
    };
    return statements.replaceInStrings(QStringLiteral("%station"), QLatin1String(StationRole))
        .replaceInStrings(QStringLiteral("%auditor"), QLatin1String(AuditorRole));
}

void Ledger::applyRoles() {
    d->connection.inTransaction(QCoreApplication::translate("pairwick::ledger", "授予角色"), [&] {
        const QSqlDatabase db = d->connection.database();
        if (!callerOwnsLedger(db))
            throw LedgerError(QCoreApplication::translate(
                "pairwick::ledger", "只有台账的所有者能授予它的角色，而这个登录不是它的所有者"));
        for (const QString &statement : rolesStatements())
            SqlStatement::execute(db, statement);
    });
}

}  // namespace pairwick::ledger
