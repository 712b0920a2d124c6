// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedadapter.h"

#include <QStringList>

namespace pairwick::fakes {

namespace {

const QString CrLf = QStringLiteral("\r\n");

}  // namespace

QString ScriptedAdapter::acknowledged(const QString &line, const QString &valueLine) {
    return line + CrLf + valueLine + QStringLiteral("OK") + CrLf;
}

QString ScriptedAdapter::answer(const QString &line) {
    if (m_overrides.contains(line))
        return m_overrides.value(line);
    if (line.endsWith(u'?'))
        return query(line);
    if (line == u"AT")
        return acknowledged(line, QString());
    if (line == u"AT+DEFAULT") {
        // The factory values come back; the test's scripted replies stay.
        const QHash<QString, QString> overrides = m_overrides;
        *this = ScriptedAdapter();
        m_overrides = overrides;
        return acknowledged(line, QString());
    }
    return set(line) ? acknowledged(line, QString()) : line + CrLf + QStringLiteral("ERROR") + CrLf;
}

QString ScriptedAdapter::query(const QString &line) const {
    QString value;
    if (line == u"AT+DEVICENAME?")
        value = name;
    else if (line == u"AT+VER?")
        value = version;
    else if (line == u"AT+UART?")
        value = baudRate + QStringLiteral(",8,") + parity + QStringLiteral(",") + stopBits;
    else if (line == u"AT+ROLE?")
        value = role;
    else if (line == u"AT+MSGENABLE?")
        value = QStringLiteral("+MSGEN: ") + messages;
    else if (line == u"AT+PIN?")
        value = QStringLiteral("+PIN CODE: ") + pin;
    else if (line == u"AT+ADDR?")
        value = QStringLiteral("+LOCALADDR:") + address;
    else if (line == u"AT+BINDADDR?") {
        value = QStringLiteral("+BINDADDR0:") + boundAddress;
        for (int entry = 1; entry <= 7; ++entry)
            value += CrLf + QStringLiteral("+BINDADDR%1:").arg(entry);
    } else
        return line + CrLf + QStringLiteral("ERROR") + CrLf;
    return acknowledged(line, value + CrLf);
}

bool ScriptedAdapter::set(const QString &line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return false;
    const QString command = line.left(equals + 1);
    const QString argument = line.mid(equals + 1);
    const QHash<QString, QString *> fields{{QStringLiteral("AT+DEVICENAME="), &name},
                                           {QStringLiteral("AT+UARTBAUDRATE="), &baudRate},
                                           {QStringLiteral("AT+UARTPARITY="), &parity},
                                           {QStringLiteral("AT+UARTSTOP="), &stopBits},
                                           {QStringLiteral("AT+ROLE="), &role},
                                           {QStringLiteral("AT+PIN="), &pin},
                                           {QStringLiteral("AT+BINDADDR0="), &boundAddress}};
    if (command == u"AT+MSGENABLE=") {
        messages = argument == u"1" ? QStringLiteral("EN") : QStringLiteral("DI");
        return true;
    }
    if (!fields.contains(command))
        return false;
    *fields.value(command) = argument;
    return true;
}

}  // namespace pairwick::fakes
