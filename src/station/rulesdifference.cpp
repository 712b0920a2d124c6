// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/batchrules.h"

namespace pairwick::station {

namespace {

using settings::AdapterSettings;
using settings::Key;

QString shown(const AdapterSettings &settings, Key key) {
    return settings.has(key) ? QStringLiteral("\"%1\"").arg(settings.value(key))
                             : QStringLiteral("none");
}

QStringList settingsDifferences(const AdapterSettings &mine, const AdapterSettings &batch) {
    QStringList differences;
    for (Key key : settings::AllKeys) {
        if (mine.has(key) != batch.has(key) || mine.value(key) != batch.value(key))
            differences.append(
                QStringLiteral("%1: %2 here, %3 in the batch")
                    .arg(settings::keyName(key), shown(mine, key), shown(batch, key)));
    }
    return differences;
}

QString rowCount(qsizetype count) {
    return count == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(count);
}

QString pickedBy(const ValuesTable &table) {
    return table.pickBy == ValuesTable::PickBy::Seq ? QStringLiteral("seq")
                                                    : QStringLiteral("address");
}

// The first difference is enough to tell the files apart; the source's name is not one.
QString tableDifference(const ValuesTable &mine, const ValuesTable &batch) {
    if (mine.pickBy != batch.pickBy)
        return QStringLiteral("units picked by %1 here, by %2 in the batch")
            .arg(pickedBy(mine), pickedBy(batch));
    if (mine.rows.size() != batch.rows.size())
        return QStringLiteral("%1 here, %2 in the batch")
            .arg(rowCount(mine.rows.size()))
            .arg(batch.rows.size());
    for (auto here = mine.rows.begin(), there = batch.rows.begin(); here != mine.rows.end();
         ++here, ++there) {
        if (here.key() != there.key())
            return QStringLiteral("a row for unit %1 here, for unit %2 in the batch")
                .arg(here.key(), there.key());
        const QStringList differences = settingsDifferences(here.value(), there.value());
        if (!differences.isEmpty())
            return QStringLiteral("the row for unit %1: %2")
                .arg(here.key(), differences.join(QStringLiteral(", ")));
    }
    return QString();
}

QString valuesDifference(const std::optional<ValuesTable> &mine,
                         const std::optional<ValuesTable> &batch) {
    if (!mine && !batch)
        return QString();
    if (!mine)
        return QStringLiteral("none here, %1 in the batch").arg(rowCount(batch->rows.size()));
    if (!batch)
        return QStringLiteral("%1 here, none in the batch").arg(rowCount(mine->rows.size()));
    return tableDifference(*mine, *batch);
}

}  // namespace

QString rulesDifference(const BatchRules &mine, const BatchRules &batch) {
    QStringList differences = settingsDifferences(mine.templates, batch.templates);
    if (mine.first != batch.first)
        differences.append(QStringLiteral("first number: %1 here, %2 in the batch")
                               .arg(mine.first)
                               .arg(batch.first));
    const QString values = valuesDifference(mine.values, batch.values);
    if (!values.isEmpty())
        differences.append(QStringLiteral("values file: %1").arg(values));
    return differences.join(QStringLiteral("; "));
}

}  // namespace pairwick::station
