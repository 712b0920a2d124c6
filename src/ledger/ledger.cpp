// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledger.h"

#include <QCoreApplication>
#include <QUuid>
#include <array>
#include <atomic>

#include "ledger/keptstate.h"
#include "ledger/ledgerconnection.h"
#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

// An attempt left open this long belongs to a station that died; its address is free again.
constexpr qint64 StaleAfterMs = 10 * 60 * 1000;

const std::array<std::pair<AttemptResult, const char *>, 5> ResultNames{{
    {AttemptResult::Started, "started"},
    {AttemptResult::Passed, "passed"},
    {AttemptResult::Failed, "failed"},
    {AttemptResult::Interrupted, "interrupted"},
    {AttemptResult::Already, "already"},
}};

QString uniqueConnectionName(const QString &connectionName) {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("%1#%2").arg(connectionName).arg(++counter);
}

// Locks the batch and tells its passed units. Inside BEGIN IMMEDIATE SQLite has locked the whole
// file already.
qint64 lockBatch(const QSqlDatabase &db, bool sqlite, const QString &batch) {
    SqlStatement query(db, sqlite ? QStringLiteral("SELECT passed FROM batches WHERE name = :batch")
                                  : QStringLiteral("SELECT passed FROM batches WHERE name = :batch "
                                                   "FOR UPDATE"));
    if (!query.bind(QStringLiteral(":batch"), batch).exec().next())
        throw LedgerError(
            QCoreApplication::translate("pairwick::ledger", "没有批次 %1").arg(batch));
    return query.number(0);
}

// Attempts an UPDATE ... RETURNING id, batch, seq gave up, told to their units once the
// statement is done with.
int keepInterrupted(const QSqlDatabase &db, SqlStatement &update, const QString &now) {
    QList<AttemptChange> changes;
    while (update.next())
        changes.append(AttemptChange{update.text(1), update.number(2), update.text(0),
                                     resultName(AttemptResult::Interrupted), now});
    update.finish();
    for (const AttemptChange &change : changes)
        keepAttemptEnded(db, change);
    return int(changes.size());
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
        .bind(QStringLiteral(":stale"), storedTime(start.started.addMSecs(-StaleAfterMs)))
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
        .bind(QStringLiteral(":stale"), storedTime(start.started.addMSecs(-StaleAfterMs)))
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

std::optional<UnitRecord> storedUnit(const QSqlDatabase &db, const AttemptStart &start) {
    SqlStatement query(db, QStringLiteral("SELECT seq, unit_values, values_problem FROM units "
                                          "WHERE batch = :batch AND address = :address"));
    query.bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":address"), start.address)
        .exec();
    if (!query.next())
        return std::nullopt;
    return UnitRecord{start.batch, query.number(0), start.address,
                      settingsFromStored(query.text(1)), query.text(2)};
}

UnitRecord reserveUnit(const QSqlDatabase &db, const AttemptStart &start,
                       const Ledger::ValuesFor &valuesFor) {
    SqlStatement next(db, QStringLiteral("UPDATE batches SET next_seq = next_seq + 1 "
                                         "WHERE name = :batch RETURNING next_seq - 1"));
    next.bind(QStringLiteral(":batch"), start.batch).exec().next();
    UnitRecord unit{start.batch, next.number(0), start.address, {}, {}};
    const auto values = valuesFor(unit.seq);
    if (const auto *problem = std::get_if<QString>(&values))
        unit.valuesProblem = problem->isEmpty()
                                 ? QCoreApplication::translate("pairwick::ledger", "没有值")
                                 : *problem;
    else
        unit.values = std::get<settings::AdapterSettings>(values);
    const QString now = storedTime(start.started);
    SqlStatement(db, QStringLiteral("INSERT INTO units (batch, seq, address, unit_values, "
                                    "values_problem, created, name, latest) VALUES (:batch, "
                                    ":seq, :address, :values, :problem, :now, :name, :now)"))
        .bind(QStringLiteral(":batch"), unit.batch)
        .bind(QStringLiteral(":seq"), unit.seq)
        .bind(QStringLiteral(":address"), unit.address)
        .bind(QStringLiteral(":values"), storedSettings(unit.values))
        .bind(QStringLiteral(":problem"), unit.valuesProblem)
        .bind(QStringLiteral(":now"), now)
        .bind(QStringLiteral(":name"), unit.values.value(settings::Key::Name))
        .exec();
    keepNewUnit(db, unit.batch);
    return unit;
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
                                           "station, slot, device, started, ended, result, found) "
                                           "VALUES (:id, :batch, :seq, :address, :station, :slot, "
                                           ":device, :started, :ended, :result, :found)"));
    const QString id =
        start.id.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : start.id;
    const QString started = storedTime(start.started);
    insert.bind(QStringLiteral(":id"), id)
        .bind(QStringLiteral(":batch"), start.batch)
        .bind(QStringLiteral(":seq"), seq)
        .bind(QStringLiteral(":address"), start.address)
        .bind(QStringLiteral(":station"), start.station)
        .bind(QStringLiteral(":slot"), start.slot)
        .bind(QStringLiteral(":device"), start.device)
        .bind(QStringLiteral(":started"), started)
        .bind(QStringLiteral(":result"), resultName(result))
        .bind(QStringLiteral(":found"), storedSettings(start.found));
    if (result == AttemptResult::Started)
        insert.bindNull(QStringLiteral(":ended"));
    else
        insert.bind(QStringLiteral(":ended"), started);
    insert.exec();
    keepAttemptBegun(db, AttemptChange{start.batch, seq, id, resultName(result), started},
                     start.station, start.slot);
}

}  // namespace

QString resultName(AttemptResult result) {
    for (const auto &[value, name] : ResultNames) {
        if (value == result)
            return QLatin1String(name);
    }
    return {};
}

std::optional<AttemptResult> resultFromName(const QString &name) {
    for (const auto &[value, text] : ResultNames) {
        if (name == QLatin1String(text))
            return value;
    }
    return std::nullopt;
}

Ledger::Ledger(const LedgerLocation &location, const QString &connectionName, Opening opening)
    : m_location(location),
      d(std::make_unique<Private>(location, uniqueConnectionName(connectionName), opening)) {
    d->connection.run(QCoreApplication::translate("pairwick::ledger", "打开"), [] {});
}

Ledger::~Ledger() = default;

QJsonObject Ledger::joinBatch(const QString &batch, const QJsonObject &rules, qint64 first,
                              bool *created) {
    return d->connection.inTransaction(
        QCoreApplication::translate("pairwick::ledger", "加入批次 %1").arg(batch), [&] {
            const QSqlDatabase db = d->connection.database();
            SqlStatement insert(db, QStringLiteral("INSERT INTO batches "
                                                   "(name, rules, first_seq, next_seq, created) "
                                                   "VALUES (:name, :rules, :first, :first, :now) "
                                                   "ON CONFLICT (name) DO NOTHING"));
            insert.bind(QStringLiteral(":name"), batch)
                .bind(QStringLiteral(":rules"), storedObject(rules))
                .bind(QStringLiteral(":first"), first)
                .bind(QStringLiteral(":now"), storedTime(QDateTime::currentDateTimeUtc()))
                .exec();
            if (created)
                *created = insert.rowsAffected() == 1;
            SqlStatement stored(db, QStringLiteral("SELECT rules FROM batches WHERE name = :name"));
            stored.bind(QStringLiteral(":name"), batch).exec().next();
            return objectFromStored(stored.text(0));
        });
}

std::optional<QJsonObject> Ledger::batchRules(const QString &batch) {
    return d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "读取批次 %1 的规则").arg(batch), [&] {
            SqlStatement query(d->connection.database(),
                               QStringLiteral("SELECT rules FROM batches WHERE name = :name"));
            if (!query.bind(QStringLiteral(":name"), batch).exec().next())
                return std::optional<QJsonObject>();
            return std::optional<QJsonObject>(objectFromStored(query.text(0)));
        });
}

Reservation Ledger::beginAttempt(const AttemptStart &start, bool again, qint64 countLimit,
                                 const ValuesFor &valuesFor) {
    const QString what =
        QCoreApplication::translate("pairwick::ledger", "在批次 %2 中开始对 %1 的尝试")
            .arg(start.address, start.batch);
    return d->connection.inTransaction(what, [&] {
        const QSqlDatabase db = d->connection.database();
        Reservation reservation;
        const qint64 passed = lockBatch(db, d->connection.isSqlite(), start.batch);
        if (countLimit > 0 && passed >= countLimit) {
            reservation.outcome = Reservation::Outcome::CountReached;
            return reservation;
        }
        closeAbandonedAttempts(db, start);
        reservation.busyWith = openAttemptElsewhere(db, start);
        if (!reservation.busyWith.isEmpty()) {
            reservation.outcome = Reservation::Outcome::Busy;
            return reservation;
        }
        const std::optional<UnitRecord> stored = storedUnit(db, start);
        reservation.passed = again || !stored ? std::nullopt : firstPass(db, *stored);
        if (!reservation.passed && countLimit > 0 &&
            passed + unitsInProgress(db, start) >= countLimit) {
            reservation.outcome = Reservation::Outcome::Full;
            return reservation;
        }
        reservation.unit = stored ? *stored : reserveUnit(db, start, valuesFor);
        reservation.outcome = reservation.passed ? Reservation::Outcome::AlreadyPassed
                                                 : Reservation::Outcome::Reserved;
        recordAttempt(db, start, reservation.unit.seq,
                      reservation.passed ? AttemptResult::Already : AttemptResult::Started);
        return reservation;
    });
}

void Ledger::finishAttempt(const AttemptEnd &end) {
    d->connection.inTransaction(
        QCoreApplication::translate("pairwick::ledger", "结束尝试 %1").arg(end.id), [&] {
            const QSqlDatabase db = d->connection.database();
            const QString ended = storedTime(end.ended);
            SqlStatement update(db,
                                QStringLiteral("UPDATE attempts SET ended = :ended, "
                                               "result = :result, step = :step, error = :error, "
                                               "read_back = :readBack, version = :version, "
                                               "written = :written, sent = :sent, "
                                               "unchanged = :unchanged "
                                               "WHERE id = :id AND ended IS NULL "
                                               "RETURNING batch, seq"));
            update.bind(QStringLiteral(":ended"), ended)
                .bind(QStringLiteral(":result"), resultName(end.result))
                .bind(QStringLiteral(":step"), end.step)
                .bind(QStringLiteral(":error"), end.error)
                .bind(QStringLiteral(":readBack"), storedSettings(end.readBack))
                .bind(QStringLiteral(":version"), end.version)
                .bind(QStringLiteral(":written"), storedKeys(end.written))
                .bind(QStringLiteral(":sent"), storedKeys(end.sent))
                .bind(QStringLiteral(":unchanged"), storedKeys(end.unchanged))
                .bind(QStringLiteral(":id"), end.id)
                .exec();
            // A replayed end finds the attempt closed already and changes nothing.
            if (!update.next())
                return;
            const AttemptChange change{update.text(0), update.number(1), end.id,
                                       resultName(end.result), ended};
            update.finish();
            keepAttemptEnded(db, change, end.version);
        });
}

void Ledger::recordOnPass(const QString &attemptId, int exitStatus) {
    d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "记录尝试 %1 的通过后命令状态")
            .arg(attemptId),
        [&] {
            SqlStatement(d->connection.database(),
                         QStringLiteral("UPDATE attempts SET on_pass_status = "
                                        ":status WHERE id = :id "
                                        "AND on_pass_status IS NULL"))
                .bind(QStringLiteral(":status"), qint64(exitStatus))
                .bind(QStringLiteral(":id"), attemptId)
                .exec();
        });
}

int Ledger::markInterrupted(const QString &station) {
    const QString what =
        QCoreApplication::translate("pairwick::ledger", "关闭 %1 未结束的尝试").arg(station);
    return d->connection.inTransaction(what, [&] {
        const QSqlDatabase db = d->connection.database();
        const QString now = storedTime(QDateTime::currentDateTimeUtc());
        SqlStatement update(db, QStringLiteral("UPDATE attempts SET ended = :now, "
                                               "result = 'interrupted' "
                                               "WHERE station = :station AND ended IS NULL "
                                               "RETURNING id, batch, seq"));
        update.bind(QStringLiteral(":now"), now).bind(QStringLiteral(":station"), station).exec();
        return keepInterrupted(db, update, now);
    });
}

}  // namespace pairwick::ledger
