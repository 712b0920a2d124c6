// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "labels/labelvalues.h"
#include "station/slotevent.h"
#include "station/stationconfig.h"

namespace pairwick::printing {

// What the label of a finished unit holds: only of a unit that passed, and only what the adapter
// read back (its name and PIN) and the station recorded (its number, address, slot). Nothing for
// any other unit.
std::optional<labels::LabelValues> passLabelValues(const station::UnitReport &report,
                                                   const station::StationConfig &config);

}  // namespace pairwick::printing
