// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/storedforms.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "settings/keynames.h"
#include "settings/profile.h"

namespace pairwick::ledger {

QString storedTime(const QDateTime &time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + u'Z';
}

QDateTime timeFromStored(const QString &text) {
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QString storedSettings(const settings::AdapterSettings &settings) {
    return storedObject(settings::toJson(settings));
}

settings::AdapterSettings settingsFromStored(const QString &text) {
    settings::AdapterSettings result;
    const QJsonObject object = objectFromStored(text);
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::optional<settings::Key> key = settings::keyFromName(it.key());
        if (!key)
            continue;
        if (it.value().isBool())
            result.set(*key, it.value().toBool() ? settings::On : settings::Off);
        else
            result.set(*key, it.value().toString());
    }
    return result;
}

QString storedKeys(const QList<settings::Key> &keys) {
    return QString::fromUtf8(
        QJsonDocument(settings::keyNameArray(keys)).toJson(QJsonDocument::Compact));
}

QList<settings::Key> keysFromStored(const QString &text) {
    QList<settings::Key> keys;
    for (const QJsonValue &name : QJsonDocument::fromJson(text.toUtf8()).array()) {
        if (const std::optional<settings::Key> key = settings::keyFromName(name.toString()))
            keys.append(*key);
    }
    return keys;
}

QString storedObject(const QJsonObject &object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject objectFromStored(const QString &text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

}  // namespace pairwick::ledger
