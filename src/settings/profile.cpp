// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include "settings/boundedfile.h"

namespace pairwick::settings {

namespace {

QString allowedKeys() {
    QStringList names;
    for (Key key : AllKeys) {
        if (isWritable(key))
            names.append(keyName(key));
    }
    return names.join(QStringLiteral(", "));
}

// JSON's own types where they are natural (messages: true/false, numbers for baud and stop bits),
// and the written form everywhere.
std::optional<QString> textOf(Key key, const QJsonValue &value) {
    if (value.isString())
        return value.toString();
    if (key == Key::Messages && value.isBool())
        return value.toBool() ? On : Off;
    if ((key == Key::Baud || key == Key::Stop) && value.isDouble() &&
        value.toDouble() == double(value.toInteger()))
        return QString::number(value.toInteger());
    return std::nullopt;
}

QJsonObject settingsObject(const QJsonDocument &document, QString *problem) {
    const QJsonObject top = document.object();
    if (!top.contains(QStringLiteral("ports")))
        return top;
    const QJsonArray ports = top.value(QStringLiteral("ports")).toArray();
    if (ports.size() != 1) {
        *problem = QStringLiteral("holds the read of %1 ports; a profile takes exactly one")
                       .arg(ports.size());
        return {};
    }
    const QJsonValue settings = ports.first().toObject().value(QStringLiteral("settings"));
    if (!settings.isObject())
        *problem = QStringLiteral("the port in it has no settings (its read failed)");
    return settings.toObject();
}

}  // namespace

QJsonObject toJson(const AdapterSettings &settings) {
    QJsonObject object;
    for (Key key : settings.keys()) {
        const QString value = settings.value(key);
        if (key == Key::Messages)
            object.insert(keyName(key), value == On);
        else
            object.insert(keyName(key), value);
    }
    return object;
}

std::optional<AdapterSettings> parseProfile(const QByteArray &json, const QString &source,
                                            QString *error, ValueCheck check) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        *error = QStringLiteral("%1: not valid JSON at byte %2: %3")
                     .arg(source)
                     .arg(parseError.offset)
                     .arg(parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *error = QStringLiteral("%1: a profile is a JSON object of settings").arg(source);
        return std::nullopt;
    }
    QString problem;
    const QJsonObject object = settingsObject(document, &problem);
    if (!problem.isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(source, problem);
        return std::nullopt;
    }
    AdapterSettings settings;
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        const std::optional<Key> key = keyFromName(entry.key());
        if (!key) {
            *error = QStringLiteral("%1: unknown key \"%2\"; the keys are %3")
                         .arg(source, entry.key(), allowedKeys());
            return std::nullopt;
        }
        if (!isWritable(*key) || entry.value().isNull())
            continue;
        const std::optional<QString> value = textOf(*key, entry.value());
        const QString problem = !value                     ? QStringLiteral("must be a text")
                                : check == ValueCheck::Now ? valueProblem(*key, *value)
                                                           : QString();
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1: key \"%2\" %3").arg(source, entry.key(), problem);
            return std::nullopt;
        }
        settings.set(*key, *value);
    }
    return settings;
}

std::optional<AdapterSettings> loadProfile(const QString &path, QString *error, ValueCheck check) {
    const std::optional<QByteArray> content = readBoundedFile(path, error);
    if (!content)
        return std::nullopt;
    return parseProfile(*content, path, error, check);
}

bool applySetting(const QString &assignment, AdapterSettings &settings, QString *error,
                  ValueCheck check) {
    const qsizetype equals = assignment.indexOf(u'=');
    const QString name = assignment.left(equals);
    const std::optional<Key> key = equals < 0 ? std::nullopt : keyFromName(name);
    if (!key) {
        *error = QStringLiteral("--set %1: takes KEY=VALUE with KEY one of %2")
                     .arg(assignment, allowedKeys());
        return false;
    }
    const QString value = assignment.mid(equals + 1);
    const QString problem = check == ValueCheck::Now ? valueProblem(*key, value) : QString();
    if (!problem.isEmpty()) {
        *error = QStringLiteral("--set %1: \"%2\" %3").arg(assignment, name, problem);
        return false;
    }
    settings.set(*key, value);
    return true;
}

QString combinationProblem(const AdapterSettings &desired) {
    if (desired.has(Key::Bind) && desired.value(Key::Role) == Slave)
        return QCoreApplication::translate(
            "pairwick::settings", "\"bind\" 只在 master 角色下写入，而 \"role\" 设为了 slave");
    return QString();
}

}  // namespace pairwick::settings
