// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/attemptstatements.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include "ledger/keptstate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

// Tells the batch's passed units. Inside BEGIN IMMEDIATE SQLite has locked the whole file
// already.
qint64 passedInBatch(const QSqlDatabase &db, const QString &batch) {
    SqlStatement query(db, QStringLiteral("SELECT passed FROM batches WHERE name = :batch"));
    if (!query.bind(QStringLiteral(":batch"), batch).exec().next())
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "没有批次 %1").arg(batch));
    return query.number(0);
}

// The same slot starting on an address again has given up its earlier attempt.
void closeAbandonedAttempts(const QSqlDatabase &db, const AttemptStart &start) {
    const QString now = storedTime(start.started);
    SqlStatement update(db, QStringLiteral("UPDATE attempts SET ended = :now, "
                                           "result = 'interrupted' "
                                           "WHERE batch = :batch AND address = :address "
                                           "AND ended IS NULL AND (started < :stale "
                                           "OR (station = :station AND slot = :slot)) "
                                           "RETURNING id, batch, seq"));
    update.bind(QStringLiteral(":now"), now)
        .bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":stale"), staleBefore(start))
        .bind(QStringLiteral(":station"), start.station)
        .bind(QStringLiteral(":slot"), start.slot)
        .exec();
    keepInterrupted(db, update, now);
}

// Units of the batch that some slot is provisioning now, other than this address.
qint64 unitsInProgress(const QSqlDatabase &db, const AttemptStart &start) {
    SqlStatement query(db, QStringLiteral("SELECT COUNT(DISTINCT seq) FROM attempts "
                                          "WHERE batch = :batch AND address <> :address "
                                          "AND ended IS NULL AND result = 'started' "
                                          "AND started >= :stale"));
    query.bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":stale"), staleBefore(start))
        .exec()
        .next();
    return query.number(0);
}

QString openAttemptElsewhere(const QSqlDatabase &db, const AttemptStart &start) {
    SqlStatement query(db, QStringLiteral("SELECT station, slot FROM attempts "
                                          "WHERE batch = :batch AND address = :address "
                                          "AND ended IS NULL ORDER BY started LIMIT 1"));
    query.bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .exec();
    return query.next() ? query.text(0) + u' ' + query.text(1) : QString();
}

// With the unit's state and attempts, so that a rejected unit is told at once.
struct StoredUnit {
    ReservedUnit reserved;
    QString state;
    qint64 attempts = 0;
};

std::optional<StoredUnit> storedUnit(const QSqlDatabase &db, const AttemptStart &start) {
    SqlStatement query(db, QStringLiteral("SELECT seq, unit_values, values_problem, state, "
                                          "attempts FROM units "
                                          "WHERE batch = :batch AND address = :address"));
    query.bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .exec();
    if (!query.next())
        return std::nullopt;
    StoredUnit stored;
    stored.reserved.reservation.unit = UnitRecord{start.batch, query.number(0), start.address,
                                                  settingsFromStored(query.text(1)), query.text(2)};
    stored.reserved.valuesPending = query.text(1).isEmpty();
    stored.state = query.text(3);
    stored.attempts = query.number(4);
    return stored;
}

ReservedUnit reserveUnit(const QSqlDatabase &db, const AttemptStart &start) {
    SqlStatement next(db, QStringLiteral("UPDATE batches SET next_seq = next_seq + 1 "
                                         "WHERE name = :batch RETURNING next_seq - 1"));
    next.bind(QStringLiteral(":batch"), start.batch).exec().next();
    ReservedUnit reserved;
    reserved.reservation.unit = UnitRecord{start.batch, next.number(0), start.address, {}, {}};
    reserved.valuesPending = true;
    next.finish();
    const QString now = storedTime(start.started);
    SqlStatement(db, QStringLiteral("INSERT INTO units (batch, seq, address, unit_values, "
                                    "values_problem, created, name, latest) VALUES (:batch, "
                                    ":seq, :address, '', '', :now, '', :now)"))
        .bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":seq"), reserved.reservation.unit.seq)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":now"), now)
        .exec();
    keepNewUnit(db, start.batch);
    return reserved;
}

std::optional<PassRecord> firstPass(const QSqlDatabase &db, const UnitRecord &unit) {
    SqlStatement query(db, QStringLiteral("SELECT station, ended FROM attempts "
                                          "WHERE batch = :batch AND seq = :seq "
                                          "AND result = 'passed' ORDER BY ended LIMIT 1"));
    query.bind(QStringLiteral(":batch"), unit.batch).bind(QStringLiteral(":seq"), unit.seq).exec();
    if (!query.next())
        return std::nullopt;
    return PassRecord{unit.values.value(settings::Key::Name), unit.seq, query.text(0),
                      timeFromStored(query.text(1))};
}

void recordAttempt(const QSqlDatabase &db, const AttemptStart &start, qint64 seq,
                   AttemptResult result) {
    SqlStatement insert(db, QStringLiteral("INSERT INTO attempts (id, batch, seq, address, "
                                           "station, slot, device, started, ended, result, found, "
                                           "operator_name) "
                                           "VALUES (:id, :batch, :seq, :address, :station, :slot, "
                                           ":device, :started, :ended, :result, :found, "
                                           ":operator)"));
    const QString started = storedTime(start.started);
    insert.bind(QStringLiteral(":id"), start.id)
        .bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":seq"), seq)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":station"), start.station)
        .bind(QStringLiteral(":slot"), start.slot)
        .bind(QStringLiteral(":device"), start.device)
        .bind(QStringLiteral(":started"), started)
        .bind(QStringLiteral(":result"), resultName(result))
        .bind(QStringLiteral(":found"), storedSettings(start.found))
        .bind(QStringLiteral(":operator"), start.operatorName);
    if (result == AttemptResult::Started)
        insert.bindNull(QStringLiteral(":ended"));
    else
        insert.bind(QStringLiteral(":ended"), started);
    insert.exec();
    keepAttemptBegun(db, AttemptChange{start.batch, seq, start.id, resultName(result), started},
                     start.station, start.slot);
}

}  // namespace

ReservedUnit reserveByStatements(const QSqlDatabase &db, const AttemptStart &start, bool again,
                                 qint64 countLimit) {
    ReservedUnit reserved;
    Reservation &reservation = reserved.reservation;
    const qint64 passed = passedInBatch(db, start.batch);
    if (countLimit > 0 && passed >= countLimit) {
        reservation.outcome = Reservation::Outcome::CountReached;
        return reserved;
    }
    closeAbandonedAttempts(db, start);
    reservation.busyWith = openAttemptElsewhere(db, start);
    if (!reservation.busyWith.isEmpty()) {
        reservation.outcome = Reservation::Outcome::Busy;
        return reserved;
    }
    const std::optional<StoredUnit> stored = storedUnit(db, start);
    const std::optional<PassRecord> pass =
        again || !stored ? std::nullopt : firstPass(db, stored->reserved.reservation.unit);
    if (!pass && stored && stored->state == resultName(AttemptResult::Rejected)) {
        reserved = stored->reserved;
        reserved.reservation.outcome = Reservation::Outcome::Rejected;
        reserved.reservation.attempts = stored->attempts + 1;
        recordAttempt(db, start, reserved.reservation.unit.seq, AttemptResult::Rejected);
        return reserved;
    }
    if (!pass && countLimit > 0 && passed + unitsInProgress(db, start) >= countLimit) {
        reservation.outcome = Reservation::Outcome::Full;
        return reserved;
    }
    reserved = stored ? stored->reserved : reserveUnit(db, start);
    reserved.reservation.passed = pass;
    reserved.reservation.outcome =
        pass ? Reservation::Outcome::AlreadyPassed : Reservation::Outcome::Reserved;
    recordAttempt(db, start, reserved.reservation.unit.seq,
                  pass ? AttemptResult::Already : AttemptResult::Started);
    return reserved;
}

void finishByStatements(const QSqlDatabase &db, const AttemptEnd &end) {
    SqlStatement update(db, QStringLiteral("UPDATE attempts SET ended = :ended, "
                                           "result = :result, step = :step, error = :error, "
                                           "detail = :detail, "
                                           "read_back = :readBack, version = :version, "
                                           "written = :written, sent = :sent, "
                                           "unchanged = :unchanged "
                                           "WHERE id = :id AND ended IS NULL "
                                           "RETURNING batch, seq"));
    bindStoredEnd(update, end).exec();
    // A replayed end finds the attempt closed already and changes nothing.
    if (!update.next())
        return;
    AttemptChange change{update.text(0), update.number(1), end.id, resultName(end.result),
                         storedTime(end.ended)};
    update.finish();
    change.result = resultAsKept(db, change);
    keepAttemptEnded(db, change, end.version);
}

}  // namespace pairwick::ledger
