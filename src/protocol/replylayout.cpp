// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/replylayout.h"

#include "protocol/commands.h"

namespace pairwick::protocol {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// The bound-address reply lists seven empty entries after the first one.
constexpr qsizetype BindAddressTrailer = 91;

bool isQuery(const QString &command) {
    return command.endsWith(u'?');
}

}  // namespace

std::optional<ReplySpan> completeReply(const QString &command, const QString &received) {
    const QString echo = command + LineEnd;
    const qsizetype start = received.indexOf(echo);
    if (start < 0)
        return std::nullopt;
    qsizetype at = start + echo.size();
    if (isQuery(command)) {
        const qsizetype valueEnd = received.indexOf(LineEnd, at);
        if (valueEnd < 0)
            return std::nullopt;
        at = valueEnd + LineEnd.size();
        if (command == BindAddressQuery)
            at += BindAddressTrailer;
        if (at > received.size())
            return std::nullopt;
    }
    const qsizetype closingEnd = received.indexOf(LineEnd, at);
    if (closingEnd < 0)
        return std::nullopt;
    return ReplySpan{start, closingEnd + LineEnd.size() - start};
}

}  // namespace pairwick::protocol
