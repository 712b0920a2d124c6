// SPDX-License-Identifier: GPL-3.0-or-later
#include "ledger/storedforms.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "ledger/ledger.h"
#include "ledger/sqlstatement.h"
#include "settings/keynames.h"
#include "settings/profile.h"

namespace pairwick::ledger {

// A listing reads and writes two times a row, a million rows at a time: Qt's general parser and
// formatter would take most of its time, so the one form stored is read and written by hand.
QString storedTime(const QDateTime &time) {
    if (!time.isValid())
        return {};
    const QDateTime utc = time.toUTC();
    const QDate day = utc.date();
    const QTime clock = utc.time();
    if (day.year() < 0 || day.year() > 9999)
        return utc.toString(Qt::ISODateWithMs);
    QString text(QStringLiteral("0000-00-00T00:00:00.000Z"));
    const auto put = [&text](int at, int digits, int value) {
        for (int index = at + digits - 1; index >= at; --index, value /= 10)
            text[index] = QChar(u'0' + value % 10);
    };
    put(0, 4, day.year());
    put(5, 2, day.month());
    put(8, 2, day.day());
    put(11, 2, clock.hour());
    put(14, 2, clock.minute());
    put(17, 2, clock.second());
    put(20, 3, clock.msec());
    return text;
}

QDateTime timeFromStored(const QString &text) {
    // "yyyy-MM-ddTHH:mm:ss.zzzZ": each field at its place.
    static constexpr int Length = 24;
    const auto number = [&text](int from, int digits) {
        int value = 0;
        for (int at = from; at < from + digits; ++at) {
            const char16_t digit = text[at].unicode();
            if (digit < u'0' || digit > u'9')
                return -1;
            value = value * 10 + (digit - u'0');
        }
        return value;
    };
    if (text.size() == Length && text[4] == u'-' && text[7] == u'-' && text[10] == u'T' &&
        text[13] == u':' && text[16] == u':' && text[19] == u'.' && text[23] == u'Z') {
        const QDate day(number(0, 4), number(5, 2), number(8, 2));
        const QTime clock(number(11, 2), number(14, 2), number(17, 2), number(20, 3));
        if (day.isValid() && clock.isValid())
            return QDateTime(day, clock, Qt::UTC);
    }
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QDateTime timeFromStoredOr(const QString &text, const QString &fallback) {
    return timeFromStored(text.isEmpty() ? fallback : text);
}

QString storedSettings(const settings::AdapterSettings &settings) {
    return storedObject(settings::toJson(settings));
}

settings::AdapterSettings settingsFromStored(const QString &text) {
    return settingsFromJson(objectFromStored(text));
}

// Every key, the adapter's own included: what was read back is kept whole.
settings::AdapterSettings settingsFromJson(const QJsonObject &object) {
    settings::AdapterSettings result;
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
    return keysFromJson(QJsonDocument::fromJson(text.toUtf8()).array());
}

QList<settings::Key> keysFromJson(const QJsonArray &names) {
    QList<settings::Key> keys;
    for (const QJsonValue &name : names) {
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

SqlStatement &bindStoredEnd(SqlStatement &statement, const AttemptEnd &end) {
    return statement.bind(QStringLiteral(":id"), end.id)
        .bind(QStringLiteral(":ended"), storedTime(end.ended))
        .bind(QStringLiteral(":result"), resultName(end.result))
        .bind(QStringLiteral(":step"), end.step)
        .bind(QStringLiteral(":error"), end.error)
        .bind(QStringLiteral(":detail"), end.detail)
        .bind(QStringLiteral(":readBack"), storedSettings(end.readBack))
        .bind(QStringLiteral(":version"), end.version)
        .bind(QStringLiteral(":written"), storedKeys(end.written))
        .bind(QStringLiteral(":sent"), storedKeys(end.sent))
        .bind(QStringLiteral(":unchanged"), storedKeys(end.unchanged));
}

}  // namespace pairwick::ledger
