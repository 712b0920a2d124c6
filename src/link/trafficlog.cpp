// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/trafficlog.h"

#include <QDateTime>
#include <QMutexLocker>

namespace pairwick::link {

QByteArray escapedBytes(QByteArrayView bytes) {
    QByteArray text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        switch (byte) {
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                if (byte >= 0x20 && byte < 0x7f)
                    text += byte;
                else
                    text += "\\x" + QByteArray::number(static_cast<unsigned char>(byte), 16)
                                        .rightJustified(2, '0')
                                        .toUpper();
        }
    }
    return text;
}

bool TrafficLog::open(const QString &path, QString *error) {
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    *error = QStringLiteral("%1: %2").arg(path, m_file.errorString());
    return false;
}

void TrafficLog::record(const QString &port, Direction direction, QByteArrayView bytes) {
    if (bytes.isEmpty())
        return;
    const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() +
                            ' ' + port.toUtf8() + (direction == Direction::Sent ? " -> " : " <- ") +
                            escapedBytes(bytes) + '\n';
    const QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen())
        return;
    m_file.write(line);
    m_file.flush();
}

}  // namespace pairwick::link
