// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QMutex>
#include <QString>

namespace pairwick::link {

// Every byte sent to and received from the adapters, one timestamped line per write or read and
// port, with whatever is not printable ASCII escaped. Ports on several threads share one log.
class TrafficLog {
public:
    enum class Direction { Sent, Received };

    bool open(const QString &path, QString *error);
    void record(const QString &port, Direction direction, QByteArrayView bytes);

private:
    QMutex m_mutex;
    QFile m_file;
};

// \r, \n, \t and \\ as such, other bytes outside printable ASCII as \xNN.
QByteArray escapedBytes(QByteArrayView bytes);

}  // namespace pairwick::link
