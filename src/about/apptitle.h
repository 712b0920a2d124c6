// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::about {

//: The program's name. A language that writes names in its own script may spell it so.
inline constexpr const char *ApplicationTitleSource =
    QT_TRANSLATE_NOOP("pairwick::about", "Pairwick");

// The name the user sees in title bars: the About dialog's and every message box's.
inline const QString ApplicationTitle = QString::fromLatin1(ApplicationTitleSource);

// The display name the application set for itself or, when it set none, ApplicationTitle as
// the interface's language writes it.
QString applicationTitle();

}  // namespace pairwick::about
