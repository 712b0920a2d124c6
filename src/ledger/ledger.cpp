// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/ledger.h"

#include <QCoreApplication>
#include <QUuid>
#include <array>
#include <atomic>

#include "ledger/attemptstatements.h"
#include "ledger/keptstate.h"
#include "ledger/ledgerconnection.h"
#include "ledger/ledgerprivate.h"
#include "ledger/serverattempts.h"
#include "ledger/sqlstatement.h"
#include "ledger/storedforms.h"

namespace pairwick::ledger {

namespace {

const std::array<std::pair<AttemptResult, const char *>, 6> ResultNames{{
    {AttemptResult::Started, "started"},
    {AttemptResult::Passed, "passed"},
    {AttemptResult::Failed, "failed"},
    {AttemptResult::Interrupted, "interrupted"},
    {AttemptResult::Already, "already"},
    {AttemptResult::Rejected, "rejected"},
}};

QString uniqueConnectionName(const QString &connectionName) {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("%1#%2").arg(connectionName).arg(++counter);
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
    : Ledger(location, connectionName, opening, {}) {}

Ledger::Ledger(const LedgerLocation &location, const QString &connectionName, Opening opening,
               MigrationWatch watch)
    : m_location(location),
      d(std::make_unique<Private>(location, uniqueConnectionName(connectionName), opening,
                                  std::move(watch))) {
    d->connection.run(QCoreApplication::translate("pairwick::ledger", "打开"), [] {});
}

Ledger::~Ledger() = default;

QJsonObject Ledger::joinBatch(const QString &batch, const QJsonObject &rules, qint64 first,
                              bool *created) {
    return d->connection.inTransaction(
        QCoreApplication::translate("pairwick::ledger", "加入批次 %1").arg(batch), [&] {
            const QSqlDatabase db = d->connection.database();
            const bool sqlite = d->connection.isSqlite();
            SqlStatement insert(db, sqlite ? QStringLiteral("INSERT INTO batches "
                                                            "(name, rules, first_seq, next_seq, "
                                                            "created, max_attempts) VALUES "
                                                            "(:name, :rules, :first, :first, "
                                                            ":now, :maxAttempts) "
                                                            "ON CONFLICT (name) DO NOTHING")
                                           : QStringLiteral("SELECT pairwick_join_batch(:name, "
                                                            ":rules, :first, :now)"));
            insert.bind(QStringLiteral(":name"), batch)
                .bind(QStringLiteral(":rules"), storedObject(rules))
                .bind(QStringLiteral(":first"), first)
                .bind(QStringLiteral(":now"), storedTime(QDateTime::currentDateTimeUtc()));
            // The server reads it from the rules itself, as a station gives it no more.
            if (sqlite)
                insert.bind(QStringLiteral(":maxAttempts"),
                            rules.value(QStringLiteral("maxAttempts")).toInteger());
            insert.exec();
            const bool inserted =
                sqlite ? insert.rowsAffected() == 1 : insert.next() && insert.number(0) == 1;
            insert.finish();
            if (created)
                *created = inserted;
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

Reservation Ledger::beginAttempt(const AttemptStart &given, bool again, qint64 countLimit,
                                 const ValuesFor &valuesFor) {
    AttemptStart start = given;
    if (start.id.isEmpty())
        start.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString what =
        QCoreApplication::translate("pairwick::ledger", "在批次 %2 中开始对 %1 的尝试")
            .arg(start.address, start.batch);
    if (d->connection.isSqlite())
        return d->connection.inTransaction(what, [&] {
            const QSqlDatabase db = d->connection.database();
            return withValues(db, start.id, reserveByStatements(db, start, again, countLimit),
                              valuesFor);
        });
    // Two round trips at most: the number, then the values worked out from it.
    const ReservedUnit reserved = d->connection.run(
        what, [&] { return reserveOnServer(d->connection.database(), start, again, countLimit); });
    if (!reserved.valuesPending)
        return reserved.reservation;
    try {
        return d->connection.run(what, [&] {
            return withValues(d->connection.database(), start.id, reserved, valuesFor);
        });
    } catch (const LedgerError &error) {
        throw AttemptLeftOpen(error.message(), start.id);
    }
}

void Ledger::finishAttempt(const AttemptEnd &end) {
    const QString what = QCoreApplication::translate("pairwick::ledger", "结束尝试 %1").arg(end.id);
    if (d->connection.isSqlite())
        d->connection.inTransaction(what,
                                    [&] { finishByStatements(d->connection.database(), end); });
    else
        d->connection.run(what, [&] { finishOnServer(d->connection.database(), end); });
}

void Ledger::recordOnPass(const QString &attemptId, int exitStatus) {
    d->connection.run(
        QCoreApplication::translate("pairwick::ledger", "记录尝试 %1 的通过后命令状态")
            .arg(attemptId),
        [&] {
            SqlStatement record(d->connection.database(),
                                d->connection.isSqlite()
                                    ? QStringLiteral("UPDATE attempts SET on_pass_status = "
                                                     ":status WHERE id = :id "
                                                     "AND on_pass_status IS NULL")
                                    : QStringLiteral("SELECT pairwick_record_on_pass(:id, "
                                                     ":status)"));
            record.bind(QStringLiteral(":status"), qint64(exitStatus))
                .bind(QStringLiteral(":id"), attemptId)
                .exec();
            record.finish();
        });
}

int Ledger::markInterrupted(const QString &station) {
    const QString what =
        QCoreApplication::translate("pairwick::ledger", "关闭 %1 未结束的尝试").arg(station);
    const QString now = storedTime(QDateTime::currentDateTimeUtc());
    if (!d->connection.isSqlite())
        return d->connection.run(what, [&] {
            SqlStatement call(d->connection.database(),
                              QStringLiteral("SELECT pairwick_mark_interrupted(:station, :now)"));
            call.bind(QStringLiteral(":station"), station).bind(QStringLiteral(":now"), now);
            const int closed = call.exec().next() ? int(call.number(0)) : 0;
            call.finish();
            return closed;
        });
    return d->connection.inTransaction(what, [&] {
        const QSqlDatabase db = d->connection.database();
        SqlStatement update(db, QStringLiteral("UPDATE attempts SET ended = :now, "
                                               "result = 'interrupted' "
                                               "WHERE station = :station AND ended IS NULL "
                                               "RETURNING id, batch, seq"));
        update.bind(QStringLiteral(":now"), now).bind(QStringLiteral(":station"), station).exec();
        return keepInterrupted(db, update, now);
    });
}

}  // namespace pairwick::ledger
