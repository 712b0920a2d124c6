// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/portmap.h"

#include <QDir>
#include <QFileInfo>

namespace pairwick::link {

QString portMapFolder() {
    const QString explicitFolder = qEnvironmentVariable("PAIRWICK_PORTS");
    if (!explicitFolder.isEmpty())
        return explicitFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/pairwick/ports");
}

QString devicePathForPort(int portNumber) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QFileInfo link(portMapFolder() + QStringLiteral("/com%1").arg(portNumber));
    if (link.isSymLink()) {
        // The device itself, not the link: lock files and messages then name the real port.
        const QString device = link.canonicalFilePath();
        return device.isEmpty() ? link.absoluteFilePath() : device;
    }
    if (portNumber >= 1 && portNumber <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
    if (portNumber >= 5 && portNumber <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 5);
    if (portNumber >= 13 && portNumber <= 16)
        return QStringLiteral("/dev/ttyACM%1").arg(portNumber - 13);
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

int portNumberFromEntry(const QString &entry) {
    bool ok = false;
    const int number = entry.mid(3).toShort(&ok);
    return ok ? number : 0;
}

}  // namespace pairwick::link
