// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/syncedfile.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pairwick::station {

namespace {

QString failed(const QString &path) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool syncedWrite(const QString &path, const QByteArray &content, QString *error) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    for (qsizetype done = 0; ok && done < content.size();) {
        const ssize_t written =
            ::write(fd, content.constData() + done, size_t(content.size() - done));
        ok = written > 0;
        done += ok ? written : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok)
        *error = failed(path);
    if (fd >= 0)
        ::close(fd);
    return ok;
}

}  // namespace

bool syncedReplace(const QString &path, const QByteArray &content, QString *error) {
    const QString fresh = path + QStringLiteral(".new");
    if (!syncedWrite(fresh, content, error))
        return false;
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) !=
        0) {
        *error = failed(path);
        return false;
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

void syncFolder(const QString &folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace pairwick::station
