// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::link {

// The full path of the entry in folder (such as "/dev/serial/by-path") that leads to the same
// device as device, both followed through every link; empty when none does or either is gone.
// The system's by-id name follows the adapter wherever it is plugged in, the by-path name stays
// with the socket.
QString stableDeviceName(const QString &device, const QString &folder);

}  // namespace pairwick::link
