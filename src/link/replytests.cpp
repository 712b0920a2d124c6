// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/replytests.h"

namespace pairwick::link {

bool ReplyEndsWithOk(const QString &reply) {
    return reply.endsWith(QStringLiteral("OK\r\n"));
}

bool ProbeReplyOk(const QString &reply) {
    return reply.mid(4, 2) == u"OK";
}

}  // namespace pairwick::link
