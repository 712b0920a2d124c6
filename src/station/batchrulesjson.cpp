// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/batchrules.h"

#include <QJsonArray>

#include "station/valuesfile.h"

// The batch's rules as the ledger keeps them: every value a string under its key, as it was
// written, so a later station reads back exactly what the first one brought.

namespace pairwick::station {

namespace {

using settings::AdapterSettings;
using settings::Key;

const QString FirstField = QStringLiteral("first");
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
        return QStringLiteral("%1 is not an object").arg(where);
    const QJsonObject object = value.toObject();
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        const std::optional<Key> key = settings::keyFromName(entry.key());
        if (!key || !settings::isWritable(*key))
            return QStringLiteral("%1 has the key \"%2\", which is not a setting to write")
                .arg(where, entry.key());
        if (!entry.value().isString())
            return QStringLiteral("%1: \"%2\" is not a string").arg(where, entry.key());
        settings->set(*key, entry.value().toString());
    }
    return QString();
}

QString readRow(const QJsonValue &value, qsizetype index, ValuesTable *table) {
    const QString where = QStringLiteral("values row %1").arg(index + 1);
    const QJsonObject row = value.toObject();
    const QString unit = row.value(UnitField).toString();
    const std::optional<qint64> line = wholeNumber(row.value(LineField));
    if (rowKey(table->pickBy, unit) != unit)
        return QStringLiteral("%1: \"%2\" is not a unit's key").arg(where, unit);
    if (!line || *line < 1)
        return QStringLiteral("%1: no line number").arg(where);
    if (table->rows.contains(unit))
        return QStringLiteral("%1: the unit \"%2\" has a row before").arg(where, unit);
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
        return QStringLiteral("the values are not an object with a source and rows");
    if (pickBy != BySeq && pickBy != ByAddress)
        return QStringLiteral("the values pick units by \"%1\", not by seq or address").arg(pickBy);
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
    QString problem = first ? QString() : QStringLiteral("the first number is not a whole number");
    if (problem.isEmpty())
        problem = readSettings(json.value(TemplatesField), TemplatesField, &rules.templates);
    if (problem.isEmpty() && json.contains(ValuesField)) {
        rules.values.emplace();
        problem = readValues(json.value(ValuesField), &*rules.values);
    }
    if (!problem.isEmpty()) {
        *error = QStringLiteral("the batch's rules: %1").arg(problem);
        return std::nullopt;
    }
    rules.first = *first;
    return rules;
}

}  // namespace pairwick::station
