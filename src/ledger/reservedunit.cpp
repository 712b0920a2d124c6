// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/reservedunit.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

QString staleBefore(const AttemptStart &start) {
    return storedTime(start.started.addMSecs(-StaleAfterMs));
}

Reservation withValues(const QSqlDatabase &db, const QString &attemptId,
                       const ReservedUnit &reserved, const Ledger::ValuesFor &valuesFor) {
    Reservation reservation = reserved.reservation;
    if (!reserved.valuesPending)
        return reservation;
    UnitRecord &unit = reservation.unit;
    settings::AdapterSettings values;
    QString problem;
    const auto given = valuesFor(unit.seq);
    if (const auto *refused = std::get_if<QString>(&given))
        problem = refused->isEmpty() ? QCoreApplication::translate("pairwick::ledger", "没有值")
                                     : *refused;
    else
        values = std::get<settings::AdapterSettings>(given);
    const bool sqlite = db.driverName() == QLatin1String("QSQLITE");
    SqlStatement store(db, sqlite ? QStringLiteral("UPDATE units SET"
                                                   " unit_values = CASE WHEN unit_values = ''"
                                                   "  THEN :values ELSE unit_values END,"
                                                   " values_problem = CASE WHEN unit_values = ''"
                                                   "  THEN :problem ELSE values_problem END,"
                                                   " name = CASE WHEN unit_values = ''"
                                                   "  THEN :name ELSE name END"
                                                   " WHERE batch = :batch AND seq = :seq"
                                                   " RETURNING unit_values, values_problem")
                                  : QStringLiteral("SELECT * FROM pairwick_store_values(:id, "
                                                   ":values, :problem, :name)"));
    store.bind(QStringLiteral(":values"), storedSettings(values))
        .bind(QStringLiteral(":problem"), problem)
        .bind(QStringLiteral(":name"), values.value(settings::Key::Name));
    if (sqlite)
        store.bind(QStringLiteral(":batch"), unit.batch).bind(QStringLiteral(":seq"), unit.seq);
    else
        store.bind(QStringLiteral(":id"), attemptId);
    store.exec().next();
    unit.values = settingsFromStored(store.text(0));
    unit.valuesProblem = store.text(1);
    store.finish();
    return reservation;
}

}  // namespace pairwick::ledger
