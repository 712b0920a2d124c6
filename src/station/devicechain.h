// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include "station/wakeup.h"

namespace pairwick::station {

// The entries on the way to a device: its path and, while that is a link, each target in turn,
// as a port map's link leads to udev's by-path link and that to the terminal. Where a folder on
// the way is missing, as udev's by-path folder is while no unit is plugged in, the way ends in
// the nearest folder there is, at the entry that would lead on.
QList<FolderEntry> entriesToDevice(const QString &device);

// Has the sleeper watch the way to the device as it is once the watches are in place, so that a
// folder made on the way while they were put in place is followed as well.
void watchWayTo(Sleeper &sleeper, const QString &device);

}  // namespace pairwick::station
