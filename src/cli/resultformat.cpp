// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/resultformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/clirequest.h"
#include "cli/texttable.h"
#include "settings/keynames.h"
#include "settings/profile.h"

namespace pairwick::cli {

using provision::PortResult;
using settings::Key;

namespace {

QString statusWord(const PortResult &result) {
    if (result.ok)
        return QStringLiteral("ok");
    if (result.stopped)
        return QStringLiteral("stopped");
    return result.openFailed ? QStringLiteral("no-open") : QStringLiteral("failed");
}

QString noteFor(const PortResult &result) {
    if (!result.ok)
        return failureText(result).replace(u'\n', u' ');
    QStringList parts;
    if (!result.written.isEmpty())
        parts.append(QStringLiteral("wrote %1").arg(settings::joinedKeyNames(result.written)));
    if (!result.unchanged.isEmpty())
        parts.append(QStringLiteral("left as they were: %1")
                         .arg(settings::joinedKeyNames(result.unchanged)));
    return parts.join(QStringLiteral("; "));
}

}  // namespace

QString failureText(const PortResult &result) {
    return result.failedStep.isEmpty()
               ? result.error
               : QStringLiteral("%1: %2").arg(result.failedStep, result.error);
}

void insertKnownSettings(QJsonObject &record, const settings::AdapterSettings &settings,
                         bool complete, const QList<Key> &written, const QList<Key> &unchanged) {
    record.insert(QStringLiteral("settings"),
                  settings.isEmpty() ? QJsonValue() : QJsonValue(settings::toJson(settings)));
    record.insert(QStringLiteral("complete"), complete);
    record.insert(QStringLiteral("written"), settings::keyNameArray(written));
    record.insert(QStringLiteral("unchanged"), settings::keyNameArray(unchanged));
}

QJsonArray resultsArray(const std::vector<PortResult> &results) {
    QJsonArray ports;
    for (const PortResult &result : results) {
        QJsonObject port;
        port.insert(QStringLiteral("port"), result.port);
        port.insert(QStringLiteral("device"), result.device);
        port.insert(QStringLiteral("ok"), result.ok);
        insertKnownSettings(port, result.settings, result.complete, result.written,
                            result.unchanged);
        port.insert(QStringLiteral("error"),
                    result.ok ? QJsonValue() : QJsonValue(failureText(result)));
        port.insert(QStringLiteral("seconds"), qRound(result.seconds * 1000) / 1000.0);
        ports.append(port);
    }
    return ports;
}

QByteArray resultsJson(const std::vector<PortResult> &results) {
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), resultsArray(results)}}).toJson();
}

QString resultsTable(const std::vector<PortResult> &results) {
    QStringList header{QStringLiteral("PORT"), QStringLiteral("RESULT"), QStringLiteral("SECONDS")};
    for (Key key : settings::AllKeys)
        header.append(settings::keyName(key).toUpper());
    header.append(QStringLiteral("NOTE"));
    QList<QStringList> rows{header};
    for (const PortResult &result : results) {
        QStringList row{result.port, statusWord(result), QString::number(result.seconds, 'f', 2)};
        for (Key key : settings::AllKeys)
            row.append(result.settings.has(key) ? result.settings.value(key) : QStringLiteral("-"));
        row.append(noteFor(result));
        rows.append(row);
    }
    return alignedTable(rows);
}

int resultsStatus(const std::vector<PortResult> &results) {
    bool failed = false;
    for (const PortResult &result : results) {
        if (result.openFailed)
            return ExitStatus::NotOpened;
        failed = failed || !result.ok;
    }
    return failed ? ExitStatus::PortFailed : ExitStatus::Success;
}

}  // namespace pairwick::cli
