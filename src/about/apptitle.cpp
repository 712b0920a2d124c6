// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/apptitle.h"

#include <QGuiApplication>

namespace pairwick::about {

QString applicationTitle() {
    // Qt reports the executable's name as display name until one is set; that name is no title.
    const QString displayName = QGuiApplication::applicationDisplayName();
    if (displayName.isEmpty() || displayName == QCoreApplication::applicationName()) {
        return QCoreApplication::translate("pairwick::about", ApplicationTitleSource);
    }
    return displayName;
}

}  // namespace pairwick::about
