// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

struct QMetaObject;

namespace pairwick::accessibility {

// What the whole program needs for assistive technology; call after the application object
// exists and before the windows are built. `plainWindows` are the classes of the program's
// windows that are plain widgets: the toolkit presents those as bare panels, while a screen
// reader announces a window by its role and title.
void installAccessibility(const QList<const QMetaObject *> &plainWindows);

}  // namespace pairwick::accessibility
