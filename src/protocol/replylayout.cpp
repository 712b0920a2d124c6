// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/replylayout.h"

#include "protocol/commands.h"
#include "protocol/replycuts.h"

namespace pairwick::protocol {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// A query's value line: where the value starts, counted from the repeated command line, and how
// many characters follow the value line before the closing line. Skipped characters are counted,
// never read, since they may hold anything, line ends included.
struct ValueLayout {
    qsizetype valueStart;
    qsizetype trailer;
};

ValueLayout textLayout(TextCut cut) {
    const qsizetype start = cut.firstPosition - 1;
    return {start, cut.fixedLength - start - OkTailLength};
}

std::optional<ValueLayout> valueLayout(const QString &command) {
    if (command == DeviceNameQuery)
        return textLayout(DeviceNameCut);
    if (command == VersionQuery)
        return textLayout(VersionCut);
    if (command == PinQuery)
        return textLayout(PinCut);
    if (command == AddressQuery)
        return textLayout(AddressCut);
    if (command == BindAddressQuery)
        return textLayout(BindAddressCut);
    if (command == UartQuery)
        return ValueLayout{BaudRateCut.firstPosition - 1, 0};
    if (command == RoleQuery)
        return ValueLayout{RolePosition - 1, 0};
    if (command == MessageEnableQuery)
        return ValueLayout{MessageStatePosition - 1, 0};
    // Set commands, the probe and the reset: the closing line follows the repeated command line.
    return std::nullopt;
}

}  // namespace

std::optional<ReplySpan> completeReply(const QString &command, const QString &received) {
    const qsizetype start = received.indexOf(command + LineEnd);
    if (start < 0)
        return std::nullopt;
    qsizetype at = start + command.size() + LineEnd.size();
    if (const std::optional<ValueLayout> layout = valueLayout(command)) {
        const qsizetype valueEnd = received.indexOf(LineEnd, start + layout->valueStart);
        if (valueEnd < 0)
            return std::nullopt;
        at = valueEnd + LineEnd.size() + layout->trailer;
        if (at > received.size())
            return std::nullopt;
    }
    const qsizetype closingEnd = received.indexOf(LineEnd, at);
    if (closingEnd < 0)
        return std::nullopt;
    return ReplySpan{start, closingEnd + LineEnd.size() - start};
}

}  // namespace pairwick::protocol
