// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::about {

// The name the user sees in title bars: the About dialog's and every message box's.
inline const QString ApplicationTitle = QStringLiteral("Pairwick");

// The display name the application set for itself, or ApplicationTitle when it set none.
QString applicationTitle();

}  // namespace pairwick::about
