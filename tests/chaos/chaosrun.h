// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::chaos {

// What a run was asked for: all it takes to replay it.
struct RunOptions {
    QString simulator;
    quint32 seed = 1;
    int operations = 200;
    int adapters = 8;
    double rate = 0.1;
    int soak = 0;
};

// Rounds of random operations (read, write+verify, reset), one per adapter at once, against the
// simulator in chaos mode started with its ports and log in folder. After every round each
// operation is checked: it ended with a result; every line the adapter received was sent to that
// adapter, and every line sent reached it (nothing went to a lost or a wrong port); a verified
// write left the adapter's state as asked. Memory and descriptors are compared after warm-up and
// at the end. Prints its table and each violation with how to replay it; returns 0 when there
// was none, else 1.
int runChaos(const RunOptions &options, const QString &folder);

}  // namespace pairwick::chaos
