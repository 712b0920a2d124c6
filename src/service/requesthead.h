// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace pairwick::service {

// The request line and header fields of an HTTP/1.x request, blank line included, may take this
// many bytes. A scraper sends a few hundred.
inline constexpr qsizetype MaxRequestHead = 8192;

// The head of an HTTP/1.0 or 1.1 request, read strictly: what a scraper sends and nothing more.
// The fields are checked but not kept; a body is never read.
struct RequestHead {
    enum class Outcome { Incomplete, Complete, Malformed, TooLarge };
    Outcome outcome = Outcome::Incomplete;
    QByteArray method;
    QByteArray path;  // the request target without its query
};

// received holds every byte of the connection so far. A byte that no well-formed head holds ends
// the reading at once, so a client that sends nonsense is not waited for.
RequestHead readRequestHead(const QByteArray &received);

}  // namespace pairwick::service
