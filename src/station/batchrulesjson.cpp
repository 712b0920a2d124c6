// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/batchrules.h"

#include <QCoreApplication>
#include <QJsonArray>

#include "station/valuesfile.h"

// The batch's rules as the ledger keeps them: every value a string under its key, as it was
// written, so a later station reads back exactly what the first one brought.

namespace pairwick::station {

namespace {

using settings::AdapterSettings;
using settings::Key;

const QString FirstField = QStringLiteral("first");
const QString MaxAttemptsField = QStringLiteral("maxAttempts");
const QString TemplatesField = QStringLiteral("templates");
const QString ValuesField = QStringLiteral("values");
const QString SourceField = QStringLiteral("source");
const QString PickByField = QStringLiteral("pickBy");
const QString RowsField = QStringLiteral("rows");
const QString UnitField = QStringLiteral("unit");
const QString LineField = QStringLiteral("line");
const QString SettingsField = QStringLiteral("settings");
const QString BySeq = QStringLiteral("seq");
const QString ByAddress = QStringLiteral("address");

QJsonObject settingsJson(const AdapterSettings &settings) {
    QJsonObject object;
    for (Key key : settings.keys())
        object.insert(settings::keyName(key), settings.value(key));
    return object;
}

std::optional<qint64> wholeNumber(const QJsonValue &value) {
    if (!value.isDouble() || value.toDouble() != double(value.toInteger()))
        return std::nullopt;
    return value.toInteger();
}

// Each reader returns its problem, empty when there is none; where says which part it reads.
QString readSettings(const QJsonValue &value, const QString &where, AdapterSettings *settings) {
    if (!value.isObject())
        return QCoreApplication::translate("pairwick::station", "%1 不是一个对象").arg(where);
    const QJsonObject object = value.toObject();
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        const std::optional<Key> key = settings::keyFromName(entry.key());
        if (!key || !settings::isWritable(*key))
            return QCoreApplication::translate("pairwick::station",
                                               "%1 含有键 \"%2\"，它不是可写入的设置")
                .arg(where, entry.key());
        if (!entry.value().isString())
            return QCoreApplication::translate("pairwick::station", "%1：\"%2\" 不是文本")
                .arg(where, entry.key());
        settings->set(*key, entry.value().toString());
    }
    return QString();
}

QString readRow(const QJsonValue &value, qsizetype index, ValuesTable *table) {
    const QString where =
        QCoreApplication::translate("pairwick::station", "值的第 %1 行").arg(index + 1);
    const QJsonObject row = value.toObject();
    const QString unit = row.value(UnitField).toString();
    const std::optional<qint64> line = wholeNumber(row.value(LineField));
    if (rowKey(table->pickBy, unit) != unit)
        return QCoreApplication::translate("pairwick::station", "%1：\"%2\" 不是模块的键")
            .arg(where, unit);
    if (!line || *line < 1)
        return QCoreApplication::translate("pairwick::station", "%1：没有行号").arg(where);
    if (table->rows.contains(unit))
        return QCoreApplication::translate("pairwick::station", "%1：模块 \"%2\" 之前已有一行")
            .arg(where, unit);
    AdapterSettings settings;
    const QString problem = readSettings(row.value(SettingsField), where, &settings);
    if (!problem.isEmpty())
        return problem;
    table->rows.insert(unit, settings);
    table->lines.insert(unit, *line);
    return QString();
}

QString readValues(const QJsonValue &value, ValuesTable *table) {
    const QJsonObject object = value.toObject();
    const QString pickBy = object.value(PickByField).toString();
    if (!value.isObject() || !object.value(SourceField).isString() ||
        !object.value(RowsField).isArray())
        return QCoreApplication::translate("pairwick::station", "这些值不是含有来源和各行的对象");
    if (pickBy != BySeq && pickBy != ByAddress)
        return QCoreApplication::translate("pairwick::station",
                                           "这些值按 \"%1\" 挑选模块，而不是按 seq 或 address")
            .arg(pickBy);
    table->source = object.value(SourceField).toString();
    table->pickBy = pickBy == BySeq ? ValuesTable::PickBy::Seq : ValuesTable::PickBy::Address;
    const QJsonArray rows = object.value(RowsField).toArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString problem = readRow(rows[i], i, table);
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

}  // namespace

QJsonObject BatchRules::toJson() const {
    QJsonObject json{{FirstField, first}, {TemplatesField, settingsJson(templates)}};
    // Left out when there is no limit, so that a batch without one reads as before.
    if (maxAttempts > 0)
        json.insert(MaxAttemptsField, maxAttempts);
    if (!values)
        return json;
    QJsonArray rows;
    for (auto row = values->rows.begin(); row != values->rows.end(); ++row)
        rows.append(QJsonObject{{UnitField, row.key()},
                                {LineField, values->lines.value(row.key())},
                                {SettingsField, settingsJson(row.value())}});
    json.insert(
        ValuesField,
        QJsonObject{{SourceField, values->source},
                    {PickByField, values->pickBy == ValuesTable::PickBy::Seq ? BySeq : ByAddress},
                    {RowsField, rows}});
    return json;
}

std::optional<BatchRules> BatchRules::fromJson(const QJsonObject &json, QString *error) {
    BatchRules rules;
    const std::optional<qint64> first = wholeNumber(json.value(FirstField));
    QString problem =
        first ? QString() : QCoreApplication::translate("pairwick::station", "起始编号不是整数");
    if (problem.isEmpty())
        problem = readSettings(json.value(TemplatesField), TemplatesField, &rules.templates);
    const std::optional<qint64> maxAttempts =
        json.contains(MaxAttemptsField) ? wholeNumber(json.value(MaxAttemptsField)) : 0;
    if (problem.isEmpty() && (!maxAttempts || *maxAttempts < 0))
        problem = QCoreApplication::translate("pairwick::station", "尝试次数上限不是整数");
    if (problem.isEmpty() && json.contains(ValuesField)) {
        rules.values.emplace();
        problem = readValues(json.value(ValuesField), &*rules.values);
    }
    if (!problem.isEmpty()) {
        *error = QCoreApplication::translate("pairwick::station", "批次的规则：%1").arg(problem);
        return std::nullopt;
    }
    rules.first = *first;
    rules.maxAttempts = *maxAttempts;
    return rules;
}

}  // namespace pairwick::station
