// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QMutex>
#include <QString>

namespace pairwick::link {

// Every byte sent to and received from the adapters, one timestamped line per write or read and
// port, with whatever is not printable ASCII escaped. Ports on several threads share one log.
// The file is only ever appended to, never sought, so a pipe or a device will do. A write that
// fails ends the log (a log with holes would mislead) but not the run; the first failure is kept
// for the caller to report.
class TrafficLog {
public:
    enum class Direction { Sent, Received };

    TrafficLog() = default;
    TrafficLog(const TrafficLog &) = delete;
    TrafficLog &operator=(const TrafficLog &) = delete;
    ~TrafficLog();

    bool open(const QString &path, QString *error);
    void record(const QString &port, Direction direction, QByteArrayView bytes);
    // "the wire log FILE cannot be written: REASON" after the first failed write, else empty.
    QString writeError() const;

private:
    void writeLocked(QByteArrayView line);

    mutable QMutex m_mutex;
    QString m_path;
    int m_fd = -1;
    QString m_writeError;
};

}  // namespace pairwick::link
