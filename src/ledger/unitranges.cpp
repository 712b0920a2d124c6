// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/unitranges.h"

#include <QRegularExpression>
#include <limits>

#include "ledger/sqlstatement.h"

namespace pairwick::ledger {

namespace {

// A second or two of work on either database: progress often enough, few statements.
constexpr qint64 RangeUnits = 25000;

const QRegularExpression RangeName(QStringLiteral("%unitRange\\((\\w+)\\)"));

QString withRange(QString statement) {
    return statement.replace(RangeName, QStringLiteral("(\\1.batch = :range_batch AND \\1.seq > "
                                                       ":range_after AND \\1.seq <= :range_last)"));
}

}  // namespace

UnitRanges::UnitRanges(const QSqlDatabase &database, int from, int to, MigrationWatch watch)
    : m_database(database), m_watch(from > 0 ? std::move(watch) : MigrationWatch()) {
    m_progress.from = from;
    m_progress.to = to;
    m_clock.start();
}

bool UnitRanges::isRanged(const QString &statement) {
    return statement.contains(RangeName);
}

int UnitRanges::passesOf(const QStringList &statements) {
    int passes = 0;
    bool inPass = false;
    for (const QString &statement : statements) {
        const bool ranged = isRanged(statement);
        passes += ranged && !inPass ? 1 : 0;
        inPass = ranged;
    }
    return passes;
}

void UnitRanges::tell(MigrationProgress::Stage stage) {
    if (!m_watch)
        return;
    m_progress.stage = stage;
    m_progress.seconds = double(m_clock.elapsed()) / 1000;
    m_watch(m_progress);
}

void UnitRanges::begin(int passes) {
    tell(MigrationProgress::Stage::Started);
    if (!m_watch || passes == 0)
        return;
    SqlStatement units(m_database, QStringLiteral("SELECT COUNT(*) FROM units"));
    units.exec().next();
    m_progress.total = units.number(0) * passes;
    units.finish();
    tell(MigrationProgress::Stage::Working);
}

qint64 UnitRanges::count(const QString &batch, qint64 after) {
    SqlStatement rest(m_database, QStringLiteral("SELECT COUNT(*) FROM units"
                                                 " WHERE batch = :batch AND seq > :after"));
    rest.bind(QStringLiteral(":batch"), batch).bind(QStringLiteral(":after"), after).exec().next();
    const qint64 units = rest.number(0);
    rest.finish();
    return units;
}

void UnitRanges::run(const QStringList &statements) {
    if (statements.isEmpty())
        return;
    QStringList batches;
    SqlStatement names(m_database, QStringLiteral("SELECT name FROM batches ORDER BY name"));
    for (names.exec(); names.next();)
        batches.append(names.text(0));
    names.finish();
    for (const QString &batch : std::as_const(batches)) {
        // Each range ends at the number RangeUnits units on along the primary key, so a range
        // holds that many units however sparse the numbers are.
        qint64 after = std::numeric_limits<qint64>::min();
        for (bool more = true; more;) {
            SqlStatement end(m_database,
                             QStringLiteral("SELECT seq FROM units WHERE batch = :batch AND seq > "
                                            ":after ORDER BY seq LIMIT 1 OFFSET :skip"));
            end.bind(QStringLiteral(":batch"), batch)
                .bind(QStringLiteral(":after"), after)
                .bind(QStringLiteral(":skip"), RangeUnits - 1)
                .exec();
            more = end.next();
            const qint64 last = more ? end.number(0) : std::numeric_limits<qint64>::max();
            end.finish();
            const qint64 units = more ? RangeUnits : count(batch, after);
            if (units == 0)
                break;
            for (const QString &statement : statements)
                SqlStatement(m_database, withRange(statement))
                    .bind(QStringLiteral(":range_batch"), batch)
                    .bind(QStringLiteral(":range_after"), after)
                    .bind(QStringLiteral(":range_last"), last)
                    .exec()
                    .finish();
            m_progress.done += units;
            tell(MigrationProgress::Stage::Working);
            after = last;
        }
    }
}

void UnitRanges::end() {
    m_progress.done = m_progress.total;
    tell(MigrationProgress::Stage::Done);
}

}  // namespace pairwick::ledger
