// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/portsurvey.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "link/commport.h"
#include "link/porterror.h"
#include "link/portmap.h"

namespace pairwick::cli {

namespace {

constexpr int PortCount = 16;

QString stableNameOf(const QString &device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &entry : byId.entryInfoList(QDir::System | QDir::Files)) {
        if (!target.isEmpty() && entry.canonicalFilePath() == target)
            return entry.absoluteFilePath();
    }
    return QString();
}

}  // namespace

QList<PortFacts> surveyPorts() {
    QList<PortFacts> ports;
    link::CommPort port;
    for (int number = 1; number <= PortCount; ++number) {
        PortFacts facts;
        facts.port = QStringLiteral("COM%1").arg(number);
        facts.device = link::devicePathForPort(number);
        facts.exists = QFileInfo::exists(facts.device);
        if (facts.exists) {
            facts.stableName = stableNameOf(facts.device);
            try {
                port.open(number);
                facts.opens = true;
            } catch (const link::PortError &fault) {
                facts.problem = fault.message();
            }
            port.close();
        }
        ports.append(facts);
    }
    return ports;
}

QString portsTable(const QList<PortFacts> &ports) {
    QString table = QStringLiteral("%1%2%3%4%5\n")
                        .arg(QStringLiteral("PORT"), -7)
                        .arg(QStringLiteral("DEVICE"), -16)
                        .arg(QStringLiteral("EXISTS"), -8)
                        .arg(QStringLiteral("OPENS"), -7)
                        .arg(QStringLiteral("STABLE NAME / PROBLEM"));
    for (const PortFacts &facts : ports) {
        const QString note = facts.problem.isEmpty() ? facts.stableName
                                                     : QString(facts.problem).replace(u'\n', u' ');
        table += QStringLiteral("%1%2%3%4%5")
                     .arg(facts.port, -7)
                     .arg(facts.device, -16)
                     .arg(facts.exists ? QStringLiteral("yes") : QStringLiteral("no"), -8)
                     .arg(facts.opens ? QStringLiteral("yes") : QStringLiteral("no"), -7)
                     .arg(note)
                     .trimmed() +
                 u'\n';
    }
    return table;
}

QByteArray portsJson(const QList<PortFacts> &ports) {
    QJsonArray list;
    for (const PortFacts &facts : ports) {
        list.append(QJsonObject{
            {QStringLiteral("port"), facts.port},
            {QStringLiteral("device"), facts.device},
            {QStringLiteral("exists"), facts.exists},
            {QStringLiteral("stable"),
             facts.stableName.isEmpty() ? QJsonValue() : QJsonValue(facts.stableName)},
            {QStringLiteral("opens"), facts.opens},
            {QStringLiteral("problem"),
             facts.problem.isEmpty() ? QJsonValue() : QJsonValue(facts.problem)},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), list}}).toJson();
}

}  // namespace pairwick::cli
