// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/pairreport.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/resultformat.h"

namespace pairwick::cli {

namespace {

QJsonValue textOrNull(const QString &text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

}  // namespace

QString pairLine(const PairOutcome &pair) {
    const QString ends = QStringLiteral("%1 (master) -> %2 (slave)").arg(pair.master, pair.slave);
    if (pair.paired)
        return QStringLiteral("%1 %2, PIN %3\n").arg(ends, pair.address, pair.pin);
    return QStringLiteral("%1: NOT PAIRED: %2\n").arg(ends, pair.problem);
}

QByteArray pairJson(const std::vector<provision::PortResult> &results, const PairOutcome &pair) {
    const QJsonObject pairObject{
        {QStringLiteral("master"), pair.master},
        {QStringLiteral("slave"), pair.slave},
        {QStringLiteral("address"), textOrNull(pair.address)},
        // Both are known once the pair was planned, the PIN even when it is empty.
        {QStringLiteral("pin"), pair.address.isEmpty() ? QJsonValue() : QJsonValue(pair.pin)},
        {QStringLiteral("paired"), pair.paired},
        {QStringLiteral("error"), pair.paired ? QJsonValue() : QJsonValue(pair.problem)},
    };
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), resultsArray(results)},
                                     {QStringLiteral("pair"), pairObject}})
        .toJson();
}

}  // namespace pairwick::cli
