// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// Values sit at fixed positions counted from the reply's length; nothing in a reply is searched.
namespace pairwick::protocol {

// A value that starts at a 1-based position and ends where the reply's fixed tail begins.
// fixedLength is every character of the layout that is not the value.
struct TextCut {
    qsizetype firstPosition;
    qsizetype fixedLength;
};

inline constexpr TextCut DeviceNameCut{17, 22};
inline constexpr TextCut VersionCut{10, 15};
inline constexpr TextCut BaudRateCut{11, 22};
inline constexpr TextCut PinCut{21, 26};
inline constexpr TextCut AddressCut{22, 27};
inline constexpr TextCut BindAddressCut{26, 122};

// Where the one-character role and the two-character prompt state stand.
inline constexpr qsizetype RolePosition = 11;
inline constexpr qsizetype MessageStatePosition = 24;
// CR LF "OK" CR LF: how every acknowledged query reply ends.
inline constexpr qsizetype OkTailLength = 6;

// Empty optional when the reply is shorter than the fixed part; exactly that long gives "".
std::optional<QString> cutText(const QString &reply, TextCut cut);

struct UartPieces {
    std::optional<QString> baudRate;
    QString parity;    // empty when the reply is too short to hold it
    QString stopBits;  // likewise
};

UartPieces cutUart(const QString &reply);
QString cutRole(const QString &reply);
QString cutMessageState(const QString &reply);

}  // namespace pairwick::protocol
