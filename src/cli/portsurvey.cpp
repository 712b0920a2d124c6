// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/portsurvey.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/texttable.h"
#include "link/commport.h"
#include "link/porterror.h"
#include "link/portmap.h"
#include "link/stablename.h"

namespace pairwick::cli {

namespace {

constexpr int PortCount = 16;

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
            facts.stableName =
                link::stableDeviceName(facts.device, QStringLiteral("/dev/serial/by-id"));
            facts.pathName =
                link::stableDeviceName(facts.device, QStringLiteral("/dev/serial/by-path"));
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
    const auto orDash = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("-") : text;
    };
    QList<QStringList> rows{{QStringLiteral("PORT"), QStringLiteral("DEVICE"),
                             QStringLiteral("EXISTS"), QStringLiteral("OPENS"),
                             QStringLiteral("BY-ID"), QStringLiteral("BY-PATH"),
                             QStringLiteral("PROBLEM")}};
    for (const PortFacts &facts : ports) {
        rows.append(
            {facts.port, facts.device, facts.exists ? QStringLiteral("yes") : QStringLiteral("no"),
             facts.opens ? QStringLiteral("yes") : QStringLiteral("no"), orDash(facts.stableName),
             orDash(facts.pathName), QString(facts.problem).replace(u'\n', u' ')});
    }
    return alignedTable(rows);
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
            {QStringLiteral("path"),
             facts.pathName.isEmpty() ? QJsonValue() : QJsonValue(facts.pathName)},
            {QStringLiteral("opens"), facts.opens},
            {QStringLiteral("problem"),
             facts.problem.isEmpty() ? QJsonValue() : QJsonValue(facts.problem)},
        });
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("ports"), list}}).toJson();
}

}  // namespace pairwick::cli
