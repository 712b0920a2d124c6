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

}  // namespace pairwick::chaos
