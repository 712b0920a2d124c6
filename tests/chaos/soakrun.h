// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace pairwick::chaos {

// Plain reads of one well-behaved adapter, COM1, timed, with memory and descriptors. Prints its
// table; returns 0 when every read passed and no descriptor was kept, else 1.
int runSoak(int reads);

}  // namespace pairwick::chaos
