// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/batchrules.h"

#include <QCoreApplication>

namespace pairwick::station {

namespace {

using settings::AdapterSettings;
using settings::Key;

QString shown(const AdapterSettings &settings, Key key) {
    return settings.has(key) ? QStringLiteral("\"%1\"").arg(settings.value(key))
                             : QCoreApplication::translate("pairwick::station", "无");
}

QStringList settingsDifferences(const AdapterSettings &mine, const AdapterSettings &batch) {
    QStringList differences;
    for (Key key : settings::AllKeys) {
        if (mine.has(key) != batch.has(key) || mine.value(key) != batch.value(key))
            differences.append(
                QCoreApplication::translate("pairwick::station", "%1：这里是 %2，批次中是 %3")
                    .arg(settings::keyName(key), shown(mine, key), shown(batch, key)));
    }
    return differences;
}

QString attemptLimit(qint64 limit) {
    return limit > 0 ? QString::number(limit)
                     : QCoreApplication::translate("pairwick::station", "无");
}

QString rowCount(qsizetype count) {
    return count == 1 ? QCoreApplication::translate("pairwick::station", "1 行")
                      : QCoreApplication::translate("pairwick::station", "%1 行").arg(count);
}

QString pickedBy(const ValuesTable &table) {
    return table.pickBy == ValuesTable::PickBy::Seq ? QStringLiteral("seq")
                                                    : QStringLiteral("address");
}

// The first difference is enough to tell the files apart; the source's name is not one.
QString tableDifference(const ValuesTable &mine, const ValuesTable &batch) {
    if (mine.pickBy != batch.pickBy)
        return QCoreApplication::translate("pairwick::station", "这里按 %1 挑选模块，批次中按 %2")
            .arg(pickedBy(mine), pickedBy(batch));
    if (mine.rows.size() != batch.rows.size())
        return QCoreApplication::translate("pairwick::station", "这里 %1，批次中 %2")
            .arg(rowCount(mine.rows.size()))
            .arg(batch.rows.size());
    for (auto here = mine.rows.begin(), there = batch.rows.begin(); here != mine.rows.end();
         ++here, ++there) {
        if (here.key() != there.key())
            return QCoreApplication::translate("pairwick::station",
                                               "这里是模块 %1 的一行，批次中是模块 %2 的")
                .arg(here.key(), there.key());
        const QStringList differences = settingsDifferences(here.value(), there.value());
        if (!differences.isEmpty())
            return QCoreApplication::translate("pairwick::station", "模块 %1 的一行：%2")
                .arg(here.key(), differences.join(QStringLiteral(", ")));
    }
    return QString();
}

QString valuesDifference(const std::optional<ValuesTable> &mine,
                         const std::optional<ValuesTable> &batch) {
    if (!mine && !batch)
        return QString();
    if (!mine)
        return QCoreApplication::translate("pairwick::station", "这里没有，批次中 %1")
            .arg(rowCount(batch->rows.size()));
    if (!batch)
        return QCoreApplication::translate("pairwick::station", "这里 %1，批次中没有")
            .arg(rowCount(mine->rows.size()));
    return tableDifference(*mine, *batch);
}

}  // namespace

QString rulesDifference(const BatchRules &mine, const BatchRules &batch) {
    QStringList differences = settingsDifferences(mine.templates, batch.templates);
    if (mine.first != batch.first)
        differences.append(
            QCoreApplication::translate("pairwick::station", "起始编号：这里是 %1，批次中是 %2")
                .arg(mine.first)
                .arg(batch.first));
    if (mine.maxAttempts != batch.maxAttempts)
        differences.append(
            QCoreApplication::translate("pairwick::station",
                                        "--max-attempts：这里是 %1，批次中是 %2")
                .arg(attemptLimit(mine.maxAttempts), attemptLimit(batch.maxAttempts)));
    const QString values = valuesDifference(mine.values, batch.values);
    if (!values.isEmpty())
        differences.append(
            QCoreApplication::translate("pairwick::station", "值文件：%1").arg(values));
    return differences.join(QStringLiteral("; "));
}

}  // namespace pairwick::station
