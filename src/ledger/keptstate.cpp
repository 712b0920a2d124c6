// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/keptstate.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include "ledger/ledger.h"
#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

const QString Passed = QStringLiteral("passed");

// The unit as it stands, with the start of the attempt that made it so.
struct KeptUnit {
    QString state;
    QString latestAttempt;
    QString latestStarted;
};

KeptUnit keptUnit(const QSqlDatabase &db, const AttemptChange &change) {
    SqlStatement query(db, QStringLiteral("SELECT u.state, u.latest_attempt, l.started "
                                          "FROM units u LEFT JOIN attempts l "
                                          "ON l.id = u.latest_attempt "
                                          "WHERE u.batch = :batch AND u.seq = :seq"));
    if (!query.bind(QStringLiteral(":batch"), change.batch)
             .bind(QStringLiteral(":seq"), change.seq)
             .exec()
             .next())
        throw LedgerError(QCoreApplication::translate("pairwick::ledger", "批次 %2 中没有模块 %1")
                              .arg(change.seq)
                              .arg(change.batch));
    return KeptUnit{query.text(0), query.text(1), query.text(2)};
}

// A unit that passed once stays passed; the others take their latest attempt's result.
QString stateAfter(const KeptUnit &unit, const QString &result, bool latest) {
    if (unit.state == Passed || result == Passed)
        return Passed;
    return latest ? result : unit.state;
}

qint64 countOf(const QString &counted, const QString &before, const QString &after) {
    return qint64(after == counted) - qint64(before == counted);
}

// The batch's counts move with the unit, and its first and last activity take in the time.
void keepBatch(const QSqlDatabase &db, const AttemptChange &change, const QString &before,
               const QString &after) {
    SqlStatement(db, QStringLiteral("UPDATE batches SET passed = passed + :passed,"
                                    " failed = failed + :failed,"
                                    " interrupted = interrupted + :interrupted,"
                                    " rejected = rejected + :rejected,"
                                    " first_activity = CASE WHEN first_activity IS NULL"
                                    "  OR first_activity > :time THEN :time"
                                    "  ELSE first_activity END,"
                                    " last_activity = CASE WHEN last_activity IS NULL"
                                    "  OR last_activity < :time THEN :time"
                                    "  ELSE last_activity END"
                                    " WHERE name = :batch"))
        .bind(QStringLiteral(":passed"), countOf(Passed, before, after))
        .bind(QStringLiteral(":failed"), countOf(QStringLiteral("failed"), before, after))
        .bind(QStringLiteral(":interrupted"), countOf(QStringLiteral("interrupted"), before, after))
        .bind(QStringLiteral(":rejected"), countOf(QStringLiteral("rejected"), before, after))
        .bind(QStringLiteral(":time"), change.time)
        .bind(QStringLiteral(":batch"), change.batch)
        .exec();
}

}  // namespace

QString resultAsKept(const QSqlDatabase &db, const AttemptChange &change) {
    if (change.result != u"failed")
        return change.result;
    SqlStatement query(db, QStringLiteral("SELECT b.max_attempts, (SELECT COUNT(*) FROM attempts a"
                                          "  WHERE a.batch = b.name AND a.seq = :seq"
                                          "  AND a.result = 'failed')"
                                          " FROM batches b WHERE b.name = :batch"));
    query.bind(QStringLiteral(":seq"), change.seq)
        .bind(QStringLiteral(":batch"), change.batch)
        .exec()
        .next();
    const qint64 allowed = query.number(0);
    const bool rejected = allowed > 0 && query.number(1) >= allowed;
    query.finish();
    return rejected ? QStringLiteral("rejected") : change.result;
}

void keepNewUnit(const QSqlDatabase &db, const QString &batch) {
    SqlStatement(db, QStringLiteral("UPDATE batches SET units = units + 1 WHERE name = :batch"))
        .bind(QStringLiteral(":batch"), batch)
        .exec();
}

void keepAttemptBegun(const QSqlDatabase &db, const AttemptChange &change, const QString &station,
                      const QString &slot) {
    const KeptUnit unit = keptUnit(db, change);
    // Stations' clocks may disagree: the latest attempt is the one that started last.
    const bool latest =
        unit.latestAttempt.isEmpty() || std::pair(change.time, change.attemptId) >=
                                            std::pair(unit.latestStarted, unit.latestAttempt);
    const QString state = stateAfter(unit, change.result, latest);
    SqlStatement(db, QStringLiteral("UPDATE units SET state = :state, attempts = attempts + 1,"
                                    " latest_attempt = CASE WHEN :latest = 1 THEN :id"
                                    "  ELSE latest_attempt END,"
                                    " station = CASE WHEN :latest = 1 THEN :station"
                                    "  ELSE station END,"
                                    " slot = CASE WHEN :latest = 1 THEN :slot ELSE slot END,"
                                    " latest = CASE WHEN latest < :time THEN :time"
                                    "  ELSE latest END"
                                    " WHERE batch = :batch AND seq = :seq"))
        .bind(QStringLiteral(":state"), state)
        .bind(QStringLiteral(":latest"), qint64(latest ? 1 : 0))
        .bind(QStringLiteral(":id"), change.attemptId)
        .bind(QStringLiteral(":station"), station)
        .bind(QStringLiteral(":slot"), slot)
        .bind(QStringLiteral(":time"), change.time)
        .bind(QStringLiteral(":batch"), change.batch)
        .bind(QStringLiteral(":seq"), change.seq)
        .exec();
    SqlStatement(db, QStringLiteral("INSERT INTO batch_stations (batch, station) "
                                    "VALUES (:batch, :station) ON CONFLICT DO NOTHING"))
        .bind(QStringLiteral(":batch"), change.batch)
        .bind(QStringLiteral(":station"), station)
        .exec();
    keepBatch(db, change, unit.state, state);
}

void keepAttemptEnded(const QSqlDatabase &db, const AttemptChange &change, const QString &version) {
    const KeptUnit unit = keptUnit(db, change);
    const bool latest = unit.latestAttempt == change.attemptId;
    const QString state = stateAfter(unit, change.result, latest);
    SqlStatement(db, QStringLiteral("UPDATE units SET state = :state,"
                                    " version = CASE WHEN :latest = 1 AND :version <> ''"
                                    "  THEN :version ELSE version END,"
                                    " latest = CASE WHEN latest < :time THEN :time"
                                    "  ELSE latest END"
                                    " WHERE batch = :batch AND seq = :seq"))
        .bind(QStringLiteral(":state"), state)
        .bind(QStringLiteral(":latest"), qint64(latest ? 1 : 0))
        .bind(QStringLiteral(":version"), version)
        .bind(QStringLiteral(":time"), change.time)
        .bind(QStringLiteral(":batch"), change.batch)
        .bind(QStringLiteral(":seq"), change.seq)
        .exec();
    keepBatch(db, change, unit.state, state);
}

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

}  // namespace pairwick::ledger
