// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "provision/portjob.h"

namespace pairwick::cli {

// How a pairing ended, beside each adapter's own result.
struct PairOutcome {
    QString master;  // the ports
    QString slave;
    QString address;  // SLAVE's, once both were read; else empty
    QString pin;
    bool paired = false;
    QString problem;  // why they are not paired
};

// "COM3 (master) -> COM4 (slave) 0A51:00:000004, PIN 482193", or why it is not so.
QString pairLine(const PairOutcome &pair);

// One JSON document: {"ports": [MASTER's result, SLAVE's], "pair": {"master", "slave",
// "address", "pin", "paired", "error"}}, the results as the other port commands print them.
QByteArray pairJson(const std::vector<provision::PortResult> &results, const PairOutcome &pair);

}  // namespace pairwick::cli
