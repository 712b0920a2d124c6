// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pairwick::cli {

struct CliRequest;

// Reads MASTER and SLAVE at once, then makes them a pair: SLAVE in the slave role, MASTER in the
// master role bound to SLAVE's address, one PIN for both. Prints both results and the pair;
// returns the exit status.
int runPairCommand(const CliRequest &request);

}  // namespace pairwick::cli
