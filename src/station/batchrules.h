// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <optional>
#include <variant>

#include "settings/adaptersettings.h"
#include "station/valuetemplate.h"

namespace pairwick::station {

// A values file: one row of keys per unit, picked by its number or by its address.
struct ValuesTable {
    enum class PickBy { Seq, Address };
    QString source;  // the file's name, for messages
    PickBy pickBy = PickBy::Seq;
    // Key: the number in decimal, or the address upper case without separators.
    QMap<QString, settings::AdapterSettings> rows;
    // Same keys: the line each row starts on, for messages.
    QMap<QString, qsizetype> lines;

    bool operator==(const ValuesTable &) const = default;
};

// What one batch gives every unit: the profile and --set values as templates, the values file
// and the first number. Stored with the batch, so every station of it works by the same rules.
struct BatchRules {
    settings::AdapterSettings templates;
    std::optional<ValuesTable> values;
    qint64 first = 1;
    // A unit whose attempt of this number failed is rejected; 0 for no limit.
    qint64 maxAttempts = 0;

    // A station that joins a batch without rules of its own takes the batch's.
    bool givesNothing() const { return templates.isEmpty() && !values; }
    QJsonObject toJson() const;
    static std::optional<BatchRules> fromJson(const QJsonObject &json, QString *error);
    bool operator==(const BatchRules &) const = default;
};

// A UTF-8 CSV with a header row; the column "seq" or "address" picks the unit, the others are
// keys. Errors name the file, the line and the column.
std::optional<ValuesTable> loadValuesFile(const QString &path, QString *error);

// Everything that can be known before the first unit: unknown or malformed fields, a value too
// long for its key at the first number, every check a plain write makes. Empty when none.
QString rulesProblem(const BatchRules &rules);

// What differs between the rules a station brings and the batch's, in words; empty when the same.
QString rulesDifference(const BatchRules &mine, const BatchRules &batch);

// One unit's values: its row of the values file over --set over the profile, every field filled
// in (random digits from the system's cryptographic source unless a test brings its own). An
// error when they no longer fit their keys.
std::variant<settings::AdapterSettings, QString> unitValues(
    const BatchRules &rules, qint64 seq, const QString &address,
    const RandomDigits &random = systemRandomDigits);

}  // namespace pairwick::station
