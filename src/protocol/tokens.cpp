// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/tokens.h"

namespace pairwick::protocol {

const QStringList &baudRateEntries() {
    static const QStringList entries{
        QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
        QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
        QStringLiteral("38400"),  QStringLiteral("57600"),  QStringLiteral("115200"),
        QStringLiteral("230400"), QStringLiteral("256000"), QStringLiteral("460800")};
    return entries;
}

const QStringList &parityEntries() {
    static const QStringList entries{QStringLiteral("None 无"), QStringLiteral("Odd  奇"),
                                     QStringLiteral("Even 偶")};
    return entries;
}

const QStringList &parityLetters() {
    static const QStringList letters{QStringLiteral("N"), QStringLiteral("O"), QStringLiteral("E")};
    return letters;
}

const QStringList &stopBitEntries() {
    static const QStringList entries{QStringLiteral("1"), QStringLiteral("2")};
    return entries;
}

qsizetype findToken(const QStringList &table, const QString &value) {
    return table.indexOf(value);
}

std::optional<Role> roleFromToken(const QString &token) {
    if (token == u"0")
        return Role::Slave;
    if (token == u"1")
        return Role::Master;
    return std::nullopt;
}

std::optional<bool> messagesEnabledFromToken(const QString &token) {
    if (token == u"EN")
        return true;
    if (token == u"DI")
        return false;
    return std::nullopt;
}

}  // namespace pairwick::protocol
