// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace pairwick::protocol {

// Where the whole reply to a command stands in what has come in so far: from the repeated
// command line to the end of the line that closes it, "OK" or whatever stands in its place.
struct ReplySpan {
    qsizetype start;
    qsizetype length;
};

// Follows the command's layout, not the first "OK" seen: a query's value lines are passed over
// whatever they hold, so an adapter named "OK" still reads right. Empty while the reply is
// still incomplete, or when the command line was never repeated.
std::optional<ReplySpan> completeReply(const QString &command, const QString &received);

}  // namespace pairwick::protocol
