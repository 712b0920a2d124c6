// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/trafficlog.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QMutexLocker>
#include <cerrno>

#include "link/logline.h"

namespace pairwick::link {

TrafficLog::~TrafficLog() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TrafficLog::open(const QString &path, QString *error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = QStringLiteral("%1: %2").arg(path, qt_error_string(errno));
        return false;
    }
    const QMutexLocker lock(&m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    m_path = path;
    m_writeError.clear();
    return true;
}

void TrafficLog::record(const QString &port, Direction direction, QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    const QByteArray line = stampedLine(
        u"yyyy-MM-ddTHH:mm:ss.zzz",
        port.toUtf8() + (direction == Direction::Sent ? " -> " : " <- ") + escapedBytes(bytes));
    const QMutexLocker lock(&m_mutex);
    writeLocked(line);
}

void TrafficLog::writeLocked(QByteArrayView line) {
    while (m_fd >= 0 && !line.isEmpty()) {
        const ssize_t written = ::write(m_fd, line.data(), std::size_t(line.size()));
        if (written > 0) {
            line = line.sliced(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            // A write of nothing at all would repeat for ever; it is as full as ENOSPC.
            m_writeError = QStringLiteral("the wire log %1 cannot be written: %2")
                               .arg(m_path, qt_error_string(written < 0 ? errno : ENOSPC));
            ::close(m_fd);
            m_fd = -1;
        }
    }
}

QString TrafficLog::writeError() const {
    const QMutexLocker lock(&m_mutex);
    return m_writeError;
}

}  // namespace pairwick::link
