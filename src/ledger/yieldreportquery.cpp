// SPDX-License-Identifier: GPL-3.0-or-later
// The yield report read from the rollups the database keeps: a few grouped sums whatever the
// number of attempts behind them.
#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <array>
#include <utility>

#include "ledger/ledger.h"
#include "ledger/ledgerprivate.h"
#include "ledger/sqlstatement.h"
#include "ledger/yieldreport.h"

namespace pairwick::ledger {

namespace {

const QString OpenStart;
const QString OpenEnd = QStringLiteral("9999");

// As the rollups name an hour: its start in UTC, "YYYY-MM-DDTHH".
QString hourKey(const QDateTime &time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH"));
}

QDateTime hourStart(const QDateTime &time) {
    QDateTime start = time;
    start.setTime(QTime(time.time().hour(), 0));
    return start;
}

// The columns a grouping reads, by the name each rollup gives its hour.
QString groupColumns(YieldGrouping by, const QString &hourColumn) {
    switch (by) {
        case YieldGrouping::Total:
            return {};
        case YieldGrouping::Station:
            return QStringLiteral("station");
        case YieldGrouping::Slot:
            return QStringLiteral("station, slot");
        case YieldGrouping::Operator:
            return QStringLiteral("operator");
        case YieldGrouping::Hour:
        case YieldGrouping::Day:
            return hourColumn;
    }
    return {};
}

int groupColumnCount(YieldGrouping by) {
    return by == YieldGrouping::Total ? 0 : by == YieldGrouping::Slot ? 2 : 1;
}

// The middle pass's time in seconds, from a count of passes by tenths of a second.
std::optional<double> median(const QMap<qint64, qint64> &histogram) {
    qint64 count = 0;
    for (const qint64 n : histogram)
        count += n;
    if (count == 0)
        return std::nullopt;
    // The middle one, or the two middle ones' mean.
    const qint64 lower = (count - 1) / 2;
    const qint64 upper = count / 2;
    std::optional<qint64> lowerValue;
    qint64 seen = 0;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it) {
        seen += it.value();
        if (!lowerValue && seen > lower)
            lowerValue = it.key();
        if (seen > upper)
            return (double(*lowerValue) + double(it.key())) / 20.0;
    }
    return std::nullopt;
}

class ReportReader {
public:
    ReportReader(const QSqlDatabase &db, const YieldQuery &query)
        : m_db(db),
          m_query(query),
          m_since(query.since.isValid() ? hourKey(hourStart(query.since)) : OpenStart),
          m_until(query.until.isValid() ? hourKey(hourStart(query.until).addSecs(3600)) : OpenEnd) {
    }

    YieldReport read() {
        YieldReport report;
        report.since = m_query.since.isValid() ? hourStart(m_query.since) : QDateTime();
        report.until =
            m_query.until.isValid() ? hourStart(m_query.until).addSecs(3600) : QDateTime();
        readCohorts();
        readDurations();
        for (auto it = m_groups.begin(); it != m_groups.end(); ++it) {
            it->figures.medianSeconds = median(m_histograms.value(it.key()));
            addTo(report.total, it->figures);
            if (m_query.by != YieldGrouping::Total)
                report.groups.append(*it);
        }
        report.total.medianSeconds = median(m_allDurations);
        report.failures = failures();
        report.mayBeStale = keptPassesDisagree();
        return report;
    }

private:
    // The group a row of the rollups falls in, with its key: local hours of one day become one
    // group.
    YieldGroup groupOfRow(const SqlStatement &row, QString *key) {
        YieldGroup group;
        switch (m_query.by) {
            case YieldGrouping::Total:
                break;
            case YieldGrouping::Station:
                group.station = row.text(0);
                break;
            case YieldGrouping::Slot:
                group.station = row.text(0);
                group.slot = row.text(1);
                break;
            case YieldGrouping::Operator:
                group.operatorName = row.text(0);
                break;
            case YieldGrouping::Hour:
                *key = row.text(0);
                group.hour = localHour(*key);
                return group;
            case YieldGrouping::Day:
                group.day = localHour(row.text(0)).date();
                *key = group.day.toString(Qt::ISODate);
                return group;
        }
        *key = group.station + QChar(0x1f) + group.slot + QChar(0x1f) + group.operatorName;
        return group;
    }

    // The local clock's offset changes a few times a year at most, so a UTC day whose first and
    // last hours have the same one has it all day; only the day of a change asks for each hour.
    QDateTime localHour(const QString &key) {
        const QDate day(key.mid(0, 4).toInt(), key.mid(5, 2).toInt(), key.mid(8, 2).toInt());
        const QDateTime utc(day, QTime(key.mid(11, 2).toInt(), 0), Qt::UTC);
        auto offsets = m_dayOffsets.constFind(day);
        if (offsets == m_dayOffsets.cend())
            offsets = m_dayOffsets.insert(
                day, {QDateTime(day, QTime(0, 0), Qt::UTC).toLocalTime().offsetFromUtc(),
                      QDateTime(day, QTime(23, 0), Qt::UTC).toLocalTime().offsetFromUtc()});
        return utc.toOffsetFromUtc(
            offsets->first == offsets->second ? offsets->first : utc.toLocalTime().offsetFromUtc());
    }

    static void addTo(YieldFigures &total, const YieldFigures &figures) {
        total.units += figures.units;
        total.firstPass += figures.firstPass;
        total.passed += figures.passed;
        total.retests += figures.retests;
        total.rejected += figures.rejected;
    }

    // The batch and the station asked for, each a condition where it is given.
    QString narrowing() const {
        return (m_query.batch.isEmpty() ? QString() : QStringLiteral("batch = :batch AND ")) +
               (m_query.station.isEmpty() ? QString() : QStringLiteral("station = :station AND "));
    }

    void bindNarrowing(SqlStatement &statement) const {
        if (!m_query.batch.isEmpty())
            statement.bind(QStringLiteral(":batch"), m_query.batch);
        if (!m_query.station.isEmpty())
            statement.bind(QStringLiteral(":station"), m_query.station);
        statement.bind(QStringLiteral(":since"), m_since).bind(QStringLiteral(":until"), m_until);
    }

    SqlStatement grouped(const QString &sums, const QString &table, const QString &hourColumn,
                         const QString &extraGroup, const QString &extraCondition) const {
        QStringList group{groupColumns(m_query.by, hourColumn), extraGroup};
        group.removeAll(QString());
        const QString columns = group.join(QStringLiteral(", "));
        SqlStatement statement(
            m_db, QStringLiteral("SELECT %1%2 FROM %3 WHERE %4%5 >= :since AND %5 < :until%6%7")
                      .arg(columns.isEmpty() ? QString() : columns + QStringLiteral(", "), sums,
                           table, narrowing(), hourColumn, extraCondition,
                           columns.isEmpty() ? QString() : QStringLiteral(" GROUP BY ") + columns));
        bindNarrowing(statement);
        return statement;
    }

    void readCohorts() {
        SqlStatement rows = grouped(QStringLiteral("SUM(units), SUM(first_pass), SUM(passed),"
                                                   " SUM(retests), SUM(rejected)"),
                                    QStringLiteral("yield_cohorts"), QStringLiteral("first_hour"),
                                    {}, QStringLiteral(" AND event_hour < :until"));
        rows.exec();
        const int at = groupColumnCount(m_query.by);
        while (rows.next()) {
            if (rows.isNull(at))
                continue;
            QString key;
            const YieldGroup group = groupOfRow(rows, &key);
            auto kept = m_groups.find(key);
            if (kept == m_groups.end())
                kept = m_groups.insert(key, group);
            addTo(kept->figures,
                  YieldFigures{rows.number(at), rows.number(at + 1), rows.number(at + 2),
                               rows.number(at + 3), rows.number(at + 4), std::nullopt});
        }
    }

    void readDurations() {
        SqlStatement rows =
            grouped(QStringLiteral("SUM(passes)"), QStringLiteral("yield_durations"),
                    QStringLiteral("hour"), QStringLiteral("tenths"), {});
        rows.exec();
        const int at = groupColumnCount(m_query.by);
        while (rows.next()) {
            QString key;
            groupOfRow(rows, &key);
            m_histograms[key][rows.number(at)] += rows.number(at + 1);
            m_allDurations[rows.number(at)] += rows.number(at + 1);
        }
    }

    QList<FailureCount> failures() const {
        SqlStatement rows(
            m_db, QStringLiteral("SELECT step, error, SUM(failures) FROM yield_failures"
                                 " WHERE %1hour >= :since AND hour < :until GROUP BY step, error"
                                 " ORDER BY 3 DESC, 1, 2")
                      .arg(narrowing()));
        bindNarrowing(rows);
        rows.exec();
        QList<FailureCount> counts;
        qint64 all = 0;
        while (rows.next()) {
            counts.append(FailureCount{rows.text(0), rows.text(1), rows.number(2), 0});
            all += counts.last().count;
        }
        for (FailureCount &count : counts)
            count.share = double(count.count) / double(all);
        return counts;
    }

    // A cheap sign of rollups gone astray: every unit a batch keeps as passed passed once in
    // its rollups. A full comparison is `ledger check`'s.
    bool keptPassesDisagree() const {
        SqlStatement sums(
            m_db,
            QStringLiteral("SELECT (SELECT COALESCE(SUM(passed), 0) FROM batches%1),"
                           " (SELECT COALESCE(SUM(passed), 0) FROM yield_cohorts%2)")
                .arg(
                    m_query.batch.isEmpty() ? QString() : QStringLiteral(" WHERE name = :batch"),
                    m_query.batch.isEmpty() ? QString() : QStringLiteral(" WHERE batch = :batch")));
        if (!m_query.batch.isEmpty())
            sums.bind(QStringLiteral(":batch"), m_query.batch);
        sums.exec().next();
        return sums.number(0) != sums.number(1);
    }

    const QSqlDatabase &m_db;
    const YieldQuery &m_query;
    const QString m_since;
    const QString m_until;
    QMap<QString, YieldGroup> m_groups;
    QMap<QString, QMap<qint64, qint64>> m_histograms;
    QMap<qint64, qint64> m_allDurations;
    QHash<QDate, std::pair<int, int>> m_dayOffsets;
};

const std::array<std::pair<YieldGrouping, const char *>, 5> GroupingNames{{
    {YieldGrouping::Station, "station"},
    {YieldGrouping::Slot, "slot"},
    {YieldGrouping::Operator, "operator"},
    {YieldGrouping::Hour, "hour"},
    {YieldGrouping::Day, "day"},
}};

}  // namespace

QString groupingName(YieldGrouping grouping) {
    for (const auto &[each, name] : GroupingNames)
        if (each == grouping)
            return QLatin1String(name);
    return {};
}

std::optional<YieldGrouping> groupingFromName(const QString &name) {
    for (const auto &[each, text] : GroupingNames)
        if (name == QLatin1String(text))
            return each;
    return std::nullopt;
}

YieldReport Ledger::yieldReport(const YieldQuery &query) {
    return d->connection.inSnapshot(QCoreApplication::translate("pairwick::ledger", "读取良率"),
                                    [&] {
                                        const QSqlDatabase db = d->connection.database();
                                        return ReportReader(db, query).read();
                                    });
}

}  // namespace pairwick::ledger
