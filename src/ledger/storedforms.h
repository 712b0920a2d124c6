// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include "settings/adaptersettings.h"

// The forms values take in the ledger's columns, the same on both databases.
namespace pairwick::ledger {

struct AttemptEnd;
class SqlStatement;

// UTC ISO-8601 with milliseconds ("2026-12-08T10:15:03.215Z"): as text it sorts and compares
// like the time itself.
QString storedTime(const QDateTime &time);
QDateTime timeFromStored(const QString &text);
// A batch with no attempts yet was last active when it was made: the fallback's time.
QDateTime timeFromStoredOr(const QString &text, const QString &fallback);

// Settings as the JSON of profiles, but every key kept, read-only ones too.
QString storedSettings(const settings::AdapterSettings &settings);
settings::AdapterSettings settingsFromStored(const QString &text);

QString storedKeys(const QList<settings::Key> &keys);
QList<settings::Key> keysFromStored(const QString &text);

// The same two read from JSON already parsed, as the station's spool keeps them.
settings::AdapterSettings settingsFromJson(const QJsonObject &object);
QList<settings::Key> keysFromJson(const QJsonArray &names);

QString storedObject(const QJsonObject &object);
QJsonObject objectFromStored(const QString &text);

// An attempt's end bound to a statement as :id, :ended, :result, :step, :error, :detail, :readBack,
// :version, :written, :sent and :unchanged.
SqlStatement &bindStoredEnd(SqlStatement &statement, const AttemptEnd &end);

}  // namespace pairwick::ledger
