// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicelink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace pairwick::adaptersim {

DeviceLink::DeviceLink(const QString &root, const QString &port)
    : m_path(QStringLiteral("%1/serial/by-path/sim-usb-%2-port0").arg(root, port)) {}

bool DeviceLink::plugIn(const QString &terminal, QString *error) {
    const QString folder = QFileInfo(m_path).path();
    m_link.emplace();
    if (!m_link->create(folder, QFileInfo(m_path).fileName(),
                        QDir(folder).relativeFilePath(terminal), error)) {
        m_link.reset();
        return false;
    }
    return true;
}

void DeviceLink::unplug() {
    m_link.reset();
    // Only an empty folder goes: another port's link may still be in it.
    const QString byPath = QFileInfo(m_path).path();
    for (const QString &folder : {byPath, QFileInfo(byPath).path()}) {
        ::rmdir(QFile::encodeName(folder).constData());
    }
}

}  // namespace pairwick::adaptersim
