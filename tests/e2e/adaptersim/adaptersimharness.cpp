// SPDX-License-Identifier: GPL-3.0-or-later
#include "adaptersimharness.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace pairwick::adaptersim::test {

const QByteArray factoryBindReply =
    "AT+BINDADDR?\r\n+BINDADDR0:0000:00:000000\r\n+BINDADDR1:\r\n+BINDADDR2:\r\n"
    "+BINDADDR3:\r\n+BINDADDR4:\r\n+BINDADDR5:\r\n+BINDADDR6:\r\n+BINDADDR7:\r\nOK\r\n";

Exchange accepted(const QByteArray &command) {
    return {command, command + "\r\nOK\r\n"};
}

Exchange refused(const QByteArray &command) {
    return {command, command + "\r\nERROR\r\n"};
}

Exchange answered(const QByteArray &query, const QByteArray &valueLine) {
    return {query, query + "\r\n" + valueLine + "\r\nOK\r\n"};
}

Exchange unanswered(const QByteArray &command) {
    return {command, {}};
}

const Script factoryQueries{
    answered("AT+DEVICENAME?", "PairwickSim"),
    answered("AT+VER?", "SIM-1.2.0"),
    answered("AT+UART?", "9600,8,N,1"),
    answered("AT+ROLE?", "0"),
    answered("AT+MSGENABLE?", "+MSGEN: EN"),
    answered("AT+PIN?", "+PIN CODE: 1234"),
    answered("AT+ADDR?", "+LOCALADDR:0A1B:2C:3D4E5F"),
    {"AT+BINDADDR?", factoryBindReply},
};

QStringList logged(const QByteArray &log, const QString &kind) {
    const QRegularExpression line(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d %1(.*)$)").arg(kind),
                                  QRegularExpression::MultilineOption);
    QStringList lines;
    for (auto match = line.globalMatch(QString::fromLatin1(log)); match.hasNext();) {
        lines.append(match.next().captured(1));
    }
    return lines;
}

bool isLinkGone(const QString &path) {
    return !QFileInfo(path).isSymLink() && !QFileInfo::exists(path);
}

}  // namespace pairwick::adaptersim::test
