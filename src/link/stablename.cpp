// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/stablename.h"

#include <QDir>
#include <QFileInfo>

namespace pairwick::link {

QString stableDeviceName(const QString &device, const QString &folder) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    // Device nodes are system files; a dangling link is listed too, and never matches.
    const QDir entries(folder);
    for (const QFileInfo &entry : entries.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        if (entry.canonicalFilePath() == target)
            return entry.absoluteFilePath();
    }
    return QString();
}

}  // namespace pairwick::link
