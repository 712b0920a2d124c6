// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <optional>

#include "settings/adaptersettings.h"

// Settings as JSON, the same keys in both directions: what `read --json` prints can be handed to
// `write --profile` again.
namespace pairwick::settings {

QJsonObject toJson(const AdapterSettings &settings);

// Values with fields in them (a station's templates) are checked once the fields are filled in.
enum class ValueCheck { Now, Later };

// A profile is an object of setting keys, or the output of a read of exactly one port. Read-only
// keys are passed over, so a read adapter can be cloned. On failure the error names the source,
// the key and what is allowed.
std::optional<AdapterSettings> parseProfile(const QByteArray &json, const QString &source,
                                            QString *error, ValueCheck check = ValueCheck::Now);
std::optional<AdapterSettings> loadProfile(const QString &path, QString *error,
                                           ValueCheck check = ValueCheck::Now);

// One --set KEY=VALUE into the settings.
bool applySetting(const QString &assignment, AdapterSettings &settings, QString *error,
                  ValueCheck check = ValueCheck::Now);

// What the keys say together: a bound address is written only in the master role.
QString combinationProblem(const AdapterSettings &desired);

}  // namespace pairwick::settings
