// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Every text the tool sends to the adapter, and the forming of set-command arguments.
namespace pairwick::protocol {

inline const QString ProbeCommand = QStringLiteral("AT");
inline const QString DefaultCommand = QStringLiteral("AT+DEFAULT");

inline const QString DeviceNameQuery = QStringLiteral("AT+DEVICENAME?");
inline const QString VersionQuery = QStringLiteral("AT+VER?");
inline const QString UartQuery = QStringLiteral("AT+UART?");
inline const QString RoleQuery = QStringLiteral("AT+ROLE?");
inline const QString MessageEnableQuery = QStringLiteral("AT+MSGENABLE?");
inline const QString PinQuery = QStringLiteral("AT+PIN?");
inline const QString AddressQuery = QStringLiteral("AT+ADDR?");
// The query carries no index although the set command does: the adapter is not symmetric here.
inline const QString BindAddressQuery = QStringLiteral("AT+BINDADDR?");

inline const QString DeviceNameSet = QStringLiteral("AT+DEVICENAME=");
inline const QString BaudRateSet = QStringLiteral("AT+UARTBAUDRATE=");
inline const QString ParitySet = QStringLiteral("AT+UARTPARITY=");
inline const QString StopBitsSet = QStringLiteral("AT+UARTSTOP=");
inline const QString RoleSet = QStringLiteral("AT+ROLE=");
inline const QString MessageEnableSet = QStringLiteral("AT+MSGENABLE=");
inline const QString PinSet = QStringLiteral("AT+PIN=");
inline const QString BindAddressSet = QStringLiteral("AT+BINDADDR0=");

// Removes spaces, and only spaces, at both ends.
QString trimSpaces(const QString &text);

// Spaces go first and line breaks after, so a space typed before a line break survives.
QString textArgument(const QString &fieldText);

// The adapter takes one letter; the list entries start with it ("Odd  奇" -> "O").
QString parityArgument(const QString &entryText);

QString flagArgument(bool on);

}  // namespace pairwick::protocol
