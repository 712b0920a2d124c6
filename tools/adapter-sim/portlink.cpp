// SPDX-License-Identifier: GPL-3.0-or-later
#include "portlink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pairwick::adaptersim {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A link to a missing device, or to a pseudo-terminal, can only be left over from an earlier
// run; a link to anything else is somebody's real port and is left alone.
bool isStale(const QFileInfo &existing) {
    const QString target = existing.symLinkTarget();
    return !QFileInfo::exists(target) || target.startsWith(QLatin1String("/dev/pts/"));
}

}  // namespace

QString portMapFolder(const QString &explicitFolder) {
    if (!explicitFolder.isEmpty()) {
        return explicitFolder;
    }
    const QString fromEnvironment = qEnvironmentVariable("PAIRWICK_PORTS");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) {
        config = QDir::homePath() + QLatin1String("/.config");
    }
    return config + QLatin1String("/pairwick/ports");
}

PortLink::~PortLink() {
    remove();
}

bool PortLink::create(const QString &folder, const QString &name, const QString &target,
                      QString *error) {
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the port folder %1").arg(folder);
        return false;
    }
    const QString path = QDir(folder).absoluteFilePath(name);
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink() || !isStale(existing)) {
            *error = QStringLiteral(
                         "%1 already exists and is no stale link; "
                         "remove it or choose another --port")
                         .arg(path);
            return false;
        }
    }
    if (!point(path, target, error)) {
        return false;
    }
    m_path = path;
    return true;
}

bool PortLink::retarget(const QString &target, QString *error) {
    return point(m_path, target, error);
}

bool PortLink::point(const QString &path, const QString &target, QString *error) {
    // Built beside the final name and renamed over it, so the tool never sees a half-made link.
    const QString temporary =
        path + QStringLiteral(".new-%1").arg(QCoreApplication::applicationPid());
    const QByteArray temporaryName = QFile::encodeName(temporary);
    ::unlink(temporaryName.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporaryName.constData()) != 0) {
        *error = QStringLiteral("cannot create the link %1: %2").arg(temporary, systemError());
        return false;
    }
    if (std::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0) {
        *error = QStringLiteral("cannot create the link %1: %2").arg(path, systemError());
        ::unlink(temporaryName.constData());
        return false;
    }
    m_target = target;
    return true;
}

void PortLink::remove() {
    if (m_path.isEmpty()) {
        return;
    }
    // Another simulator may have taken the name over meanwhile; its link is not ours to remove.
    const QFileInfo link(m_path);
    if (link.symLinkTarget() == QDir::cleanPath(link.absoluteDir().absoluteFilePath(m_target))) {
        ::unlink(QFile::encodeName(m_path).constData());
    }
    m_path.clear();
}

}  // namespace pairwick::adaptersim
