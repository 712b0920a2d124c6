// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdio>

namespace pairwick::service {

// syslog's levels, as the journal reads them from a line's "<N>" prefix.
enum class Priority { Error = 3, Warning = 4, Info = 6 };

// "<N>" where the stream is connected to the journal (systemd names that connection in
// JOURNAL_STREAM), so `journalctl -p warning` shows a station's failures and not every pass;
// nothing where a person or a file reads it.
QByteArray priorityPrefix(std::FILE *stream, Priority priority);

}  // namespace pairwick::service
