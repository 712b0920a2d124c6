// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace pairwick::station {

struct OnPassOutcome {
    int exitStatus = 0;  // -1 when it did not start, crashed or ran too long
    QString warning;     // empty when it exited 0
};

// Runs a command through /bin/sh with the unit's facts in its environment, for at most 30 s.
// Its standard output goes to standard error, so a station's JSON lines stay clean. Blocking.
OnPassOutcome runOnPass(const QString &command, const QProcessEnvironment &unitFacts);

}  // namespace pairwick::station
