// SPDX-License-Identifier: GPL-3.0-or-later
#include "logtail.h"

namespace pairwick::chaos {

LogTail::LogTail(const QString &path) : m_file(path) {}

QStringList LogTail::newLines() {
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly))
        return {};
    m_pending += m_file.readAll();
    const qsizetype end = m_pending.lastIndexOf('\n');
    if (end < 0)
        return {};
    const QStringList lines = QString::fromUtf8(m_pending.left(end)).split(u'\n');
    m_pending.remove(0, end + 1);
    return lines;
}

}  // namespace pairwick::chaos
