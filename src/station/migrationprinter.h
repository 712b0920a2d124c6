// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdio>

#include "ledger/migrationprogress.h"

namespace pairwick::station {

// A watch of a ledger's migration that writes it on stream as "PROGRAM: TEXT" lines: its start
// and end at once, its progress and a wait every two seconds, so that a log holds it without a
// line for every range of units. then, when given, is told every progress as well (a window
// shows it, a stop is asked for there).
ledger::MigrationWatch migrationPrinter(const QString &program, std::FILE *stream = stderr,
                                        ledger::MigrationWatch then = {});

}  // namespace pairwick::station
