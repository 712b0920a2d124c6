// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace pairwick::chaos {

// What this process holds now, compared after warm-up and at the end of a run: a leak shows as
// growth.
long residentKiB();
qsizetype openDescriptors();

}  // namespace pairwick::chaos
