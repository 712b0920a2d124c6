// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace pairwick::chaos {

// What this process holds at one moment. Taken after warm-up and at the end of a run, a leak
// shows as growth.
struct ProcessGauge {
    long residentKiB = 0;
    qsizetype descriptors = 0;

    static ProcessGauge now();
};

// The two rows of a run's table that set the gauge after warm-up beside the one at the end.
void printGauges(const ProcessGauge &warm, const ProcessGauge &end);

}  // namespace pairwick::chaos
