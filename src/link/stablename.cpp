// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/stablename.h"

#include <QDir>
#include <QFileInfo>

namespace pairwick::link {

QString stableDeviceName(const QString &device, const QString &folder) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::System | QDir::Files)) {
        if (entry.canonicalFilePath() == target)
            return entry.absoluteFilePath();
    }
    return QString();
}

}  // namespace pairwick::link
