// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace pairwick::about {

// The icon of both window programs and their windows, read as the PNG it is and as nothing else:
// a reader left to detect the format, even one told it, loads every image format plugin to ask
// it first, libraries the windows otherwise never use.
QIcon programIcon();

}  // namespace pairwick::about
