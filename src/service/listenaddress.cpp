// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/listenaddress.h"

#include <algorithm>

namespace pairwick::service {

QString ListenAddress::text() const {
    const QString shown = host.protocol() == QAbstractSocket::IPv6Protocol
                              ? QStringLiteral("[%1]").arg(host.toString())
                              : host.toString();
    return QStringLiteral("%1:%2").arg(shown).arg(port);
}

std::variant<ListenAddress, QString> parseListenAddress(const QString &text) {
    const QString wanted =
        QStringLiteral("--metrics takes PORT, :PORT or HOST:PORT (HOST an address or localhost)");
    const auto refused = [&](const QString &why) {
        return QStringLiteral("%1, not \"%2\": %3").arg(wanted, text.left(80), why);
    };
    QString hostText;
    QString portText = text;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(QStringLiteral("]:"));
        if (close < 0)
            return refused(QStringLiteral("an IPv6 address in brackets needs :PORT after it"));
        hostText = text.mid(1, close - 1);
        portText = text.mid(close + 2);
    } else if (const qsizetype colon = text.indexOf(u':'); colon >= 0) {
        if (text.indexOf(u':', colon + 1) >= 0)
            return refused(QStringLiteral("an IPv6 address goes in brackets"));
        hostText = text.left(colon);
        portText = text.mid(colon + 1);
    }
    bool isNumber = false;
    const uint port = portText.toUInt(&isNumber);
    // toUInt takes a sign and spaces; a port is digits only.
    const bool digitsOnly = std::all_of(portText.cbegin(), portText.cend(),
                                        [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!isNumber || !digitsOnly || port < 1 || port > 65535)
        return refused(QStringLiteral("the port is a number from 1 to 65535"));

    ListenAddress address;
    address.port = quint16(port);
    if (hostText.isEmpty() || hostText == u"localhost")
        address.host = QHostAddress(QHostAddress::LocalHost);
    else if (!address.host.setAddress(hostText))
        return refused(QStringLiteral("\"%1\" is not an IP address").arg(hostText.left(80)));
    return address;
}

}  // namespace pairwick::service
