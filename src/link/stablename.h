// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::link {

// The entry of folder (such as /dev/serial/by-path) that names the same device, or empty.
QString stableDeviceName(const QString &device, const QString &folder);

}  // namespace pairwick::link
