// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/yieldformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/texttable.h"
#include "ledger/csvtable.h"
#include "provision/attemptcodes.h"

namespace pairwick::cli {

namespace {

using ledger::YieldFigures;
using ledger::YieldGroup;
using ledger::YieldGrouping;
using ledger::YieldReport;

const QStringList FigureColumns{QStringLiteral("units"),    QStringLiteral("first_pass"),
                                QStringLiteral("fpy"),      QStringLiteral("passed"),
                                QStringLiteral("yield"),    QStringLiteral("retests"),
                                QStringLiteral("rejected"), QStringLiteral("median_seconds")};

// The codes as stored, each with its wording beside it.
const QStringList FailureColumns{QStringLiteral("step"),  QStringLiteral("step_text"),
                                 QStringLiteral("error"), QStringLiteral("error_text"),
                                 QStringLiteral("count"), QStringLiteral("share")};

QStringList failureCells(const ledger::FailureCount &failure, const QString &share) {
    return {failure.step,
            provision::codes::stepText(failure.step),
            failure.error,
            provision::codes::errorName(failure.error),
            QString::number(failure.count),
            share};
}

QStringList keyColumns(YieldGrouping by) {
    if (by == YieldGrouping::Total)
        return {};
    if (by == YieldGrouping::Slot)
        return {QStringLiteral("station"), QStringLiteral("slot")};
    return {ledger::groupingName(by)};
}

// A local time says its offset, so that an hour is one hour wherever the report is read.
QString localTime(const QDateTime &time) {
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)
                          : QString();
}

QStringList keyCells(const YieldGroup &group, YieldGrouping by) {
    switch (by) {
        case YieldGrouping::Total:
            return {};
        case YieldGrouping::Station:
            return {group.station};
        case YieldGrouping::Slot:
            return {group.station, group.slot};
        case YieldGrouping::Operator:
            return {group.operatorName};
        case YieldGrouping::Hour:
            return {localTime(group.hour)};
        case YieldGrouping::Day:
            return {group.day.toString(Qt::ISODate)};
    }
    return {};
}

QString ratio(double value) {
    return QString::number(value, 'f', 4);
}

QString percent(double value) {
    return QString::number(value * 100.0, 'f', 1) + u'%';
}

QString medianText(const YieldFigures &figures) {
    return figures.medianSeconds ? QString::number(*figures.medianSeconds, 'f', 1) : QString();
}

QStringList figureCells(const YieldFigures &figures, bool forPeople) {
    const auto share = forPeople ? percent : ratio;
    return {QString::number(figures.units),
            QString::number(figures.firstPass),
            share(figures.firstPassYield()),
            QString::number(figures.passed),
            share(figures.yield()),
            QString::number(figures.retests),
            QString::number(figures.rejected),
            medianText(figures)};
}

QJsonObject figuresJson(const YieldFigures &figures) {
    return QJsonObject{
        {QStringLiteral("units"), figures.units},
        {QStringLiteral("first_pass"), figures.firstPass},
        {QStringLiteral("fpy"), figures.firstPassYield()},
        {QStringLiteral("passed"), figures.passed},
        {QStringLiteral("yield"), figures.yield()},
        {QStringLiteral("retests"), figures.retests},
        {QStringLiteral("rejected"), figures.rejected},
        {QStringLiteral("median_seconds"),
         figures.medianSeconds ? QJsonValue(*figures.medianSeconds) : QJsonValue()},
    };
}

QString windowText(const YieldReport &report) {
    const QString from =
        report.since.isValid() ? localTime(report.since) : QStringLiteral("the first record");
    const QString to =
        report.until.isValid() ? localTime(report.until) : QStringLiteral("the last record");
    return QStringLiteral("from %1 to %2; hours and days in local time").arg(from, to);
}

QStringList upper(const QStringList &columns) {
    QStringList header;
    for (const QString &column : columns)
        header.append(column.toUpper());
    return header;
}

}  // namespace

QString yieldTable(const YieldReport &report, YieldGrouping by) {
    const QStringList keys = keyColumns(by);
    QList<QStringList> rows{upper(keys + FigureColumns)};
    for (const YieldGroup &group : report.groups)
        rows.append(keyCells(group, by) + figureCells(group.figures, true));
    QStringList total(qMax(qsizetype(1), keys.size()));
    total[0] = QStringLiteral("TOTAL");
    rows.append((keys.isEmpty() ? QStringList() : total) + figureCells(report.total, true));
    QList<QStringList> failures{upper(FailureColumns)};
    for (const ledger::FailureCount &failure : report.failures)
        failures.append(failureCells(failure, percent(failure.share)));
    return windowText(report) + QStringLiteral("\n\n") + alignedTable(rows) +
           QStringLiteral("\nFAILURES\n") +
           (report.failures.isEmpty() ? QStringLiteral("none\n") : alignedTable(failures));
}

QByteArray yieldJson(const YieldReport &report, YieldGrouping by) {
    const QStringList keys = keyColumns(by);
    QJsonArray groups;
    for (const YieldGroup &group : report.groups) {
        QJsonObject object = figuresJson(group.figures);
        const QStringList cells = keyCells(group, by);
        for (qsizetype i = 0; i < keys.size(); ++i)
            object.insert(keys[i], cells[i]);
        groups.append(object);
    }
    QJsonArray failures;
    for (const ledger::FailureCount &failure : report.failures)
        failures.append(QJsonObject{{QStringLiteral("step"), failure.step},
                                    {QStringLiteral("error"), failure.error},
                                    {QStringLiteral("count"), failure.count},
                                    {QStringLiteral("share"), failure.share}});
    return QJsonDocument(QJsonObject{{QStringLiteral("groups"), groups},
                                     {QStringLiteral("total"), figuresJson(report.total)},
                                     {QStringLiteral("failures"), failures}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

QString yieldCsv(const YieldReport &report, YieldGrouping by) {
    const QStringList keys = keyColumns(by);
    const QStringList blankKeys(keys.size());
    const QStringList blankFigures(FigureColumns.size());
    QString csv =
        ledger::csvLine(QStringList{QStringLiteral("row")} + keys + FigureColumns + FailureColumns);
    const QStringList blankFailure(FailureColumns.size());
    for (const YieldGroup &group : report.groups)
        csv += ledger::csvLine(QStringList{QStringLiteral("group")} + keyCells(group, by) +
                               figureCells(group.figures, false) + blankFailure);
    csv += ledger::csvLine(QStringList{QStringLiteral("total")} + blankKeys +
                           figureCells(report.total, false) + blankFailure);
    for (const ledger::FailureCount &failure : report.failures)
        csv += ledger::csvLine(QStringList{QStringLiteral("failure")} + blankKeys + blankFigures +
                               failureCells(failure, ratio(failure.share)));
    return csv;
}

}  // namespace pairwick::cli
