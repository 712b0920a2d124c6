// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <variant>

#include "settings/adaptersettings.h"

namespace pairwick::cli {

struct CliRequest;

// What pairing writes to each adapter, the rest of the request added to what was read.
struct PairPlan {
    settings::AdapterSettings master;
    settings::AdapterSettings slave;
    QString address;  // SLAVE's own, MASTER's bound address from now on
    QString pin;
};

// The plan for two adapters that were read in full, or why they cannot be paired.
std::variant<PairPlan, QString> planPair(const CliRequest &request,
                                         const settings::AdapterSettings &masterHolds,
                                         const settings::AdapterSettings &slaveHolds);

}  // namespace pairwick::cli
