// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/requesthead.h"

#include <QByteArrayView>
#include <QList>
#include <algorithm>

namespace pairwick::service {

namespace {

using Outcome = RequestHead::Outcome;

bool isTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text) {
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), isTokenChar);
}

// A field value may hold tabs and bytes above ASCII, never another control character.
bool isFieldChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
}

bool isTargetChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F;
}

// Every byte so far could begin a head: no control characters, every LF after a CR.
bool couldBeHead(QByteArrayView received) {
    for (qsizetype i = 0; i < received.size(); ++i) {
        const char c = received[i];
        if (c == '\n'   ? i == 0 || received[i - 1] != '\r'
            : c == '\r' ? i + 1 < received.size() && received[i + 1] != '\n'
                        : !isFieldChar(c))
            return false;
    }
    return true;
}

bool isHeaderField(QByteArrayView line) {
    const qsizetype colon = line.indexOf(':');
    // No space before the colon; a line that starts with one would continue the field before.
    const QByteArrayView value = line.sliced(std::max<qsizetype>(colon + 1, 0));
    return colon > 0 && isToken(line.first(colon)) &&
           std::all_of(value.cbegin(), value.cend(), isFieldChar);
}

}  // namespace

RequestHead readRequestHead(const QByteArray &received) {
    RequestHead head;
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > MaxRequestHead) {
        const QByteArrayView within =
            QByteArrayView(received).first(std::min(received.size(), MaxRequestHead));
        head.outcome = !couldBeHead(within)                ? Outcome::Malformed
                       : received.size() >= MaxRequestHead ? Outcome::TooLarge
                                                           : Outcome::Incomplete;
        return head;
    }
    head.outcome = Outcome::Malformed;
    if (!couldBeHead(QByteArrayView(received).first(end + 4)))
        return head;
    // Every LF follows a CR, and every CR comes before an LF: the lines split at LF, less a CR.
    QList<QByteArray> lines = received.first(end).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        lines[i].chop(1);
    const QList<QByteArray> request = lines.takeFirst().split(' ');
    if (request.size() != 3 || !isToken(request[0]) || !request[1].startsWith('/') ||
        !std::all_of(request[1].cbegin(), request[1].cend(), isTargetChar) ||
        (request[2] != "HTTP/1.1" && request[2] != "HTTP/1.0") ||
        !std::all_of(lines.cbegin(), lines.cend(), isHeaderField))
        return head;
    head.outcome = Outcome::Complete;
    head.method = request[0];
    head.path = request[1].split('?').constFirst();
    return head;
}

}  // namespace pairwick::service
