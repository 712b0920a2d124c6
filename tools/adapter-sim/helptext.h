// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::adaptersim {

// What --help prints after the options: the factory state, the chaos faults and the log's
// line formats.
QString helpEpilogue();

}  // namespace pairwick::adaptersim
