// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/replycuts.h"

namespace pairwick::protocol {

namespace {

// Parity and stop bits are the first and third of the reply's last nine characters.
constexpr qsizetype UartTailLength = 9;

}  // namespace

std::optional<QString> cutText(const QString &reply, TextCut cut) {
    const qsizetype valueLength = reply.size() - cut.fixedLength;
    if (valueLength < 0)
        return std::nullopt;
    return reply.mid(cut.firstPosition - 1, valueLength);
}

UartPieces cutUart(const QString &reply) {
    UartPieces pieces;
    pieces.baudRate = cutText(reply, BaudRateCut);
    if (reply.size() >= UartTailLength) {
        const QString tail = reply.right(UartTailLength);
        pieces.parity = tail.mid(0, 1);
        pieces.stopBits = tail.mid(2, 1);
    }
    return pieces;
}

QString cutRole(const QString &reply) {
    return reply.mid(RolePosition - 1, 1);
}

QString cutMessageState(const QString &reply) {
    return reply.mid(MessageStatePosition - 1, 2);
}

}  // namespace pairwick::protocol
