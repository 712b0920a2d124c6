// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QString>
#include <variant>

namespace pairwick::service {

// Where a station's metrics are served.
struct ListenAddress {
    QHostAddress host;
    quint16 port = 0;

    // 127.0.0.1:9464, [::1]:9464
    QString text() const;
};

// "PORT", ":PORT", "HOST:PORT" or "[IPv6]:PORT"; without a host only this machine can connect.
// HOST is an address or localhost: a name looked up here could stall the start and could bind
// another address than the one meant. A problem is a message that names the option.
std::variant<ListenAddress, QString> parseListenAddress(const QString &text);

}  // namespace pairwick::service
