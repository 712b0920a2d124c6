// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

namespace pairwick::adaptersim {

// Puts the adapter's output on the terminal: replies in order, and noise whenever no reply
// waits. Paced, it lets the bytes out no faster than a real serial line of the given rate
// would carry them; unpaced, as fast as the terminal takes them.
class LineWriter : public QObject {
    Q_OBJECT

public:
    // lineRate 0: unpaced.
    explicit LineWriter(qint64 lineRate, QObject *parent = nullptr);

    // Starts writing to a terminal, or stops (fd -1) and forgets what was still to go.
    void attach(int fd);
    void write(const QByteArray &bytes);
    void flood(qint64 count);
    qsizetype pending() const { return m_output.size(); }

signals:
    void floodDone();
    void failed(const QString &reason);

private:
    bool hasWork() const { return !m_output.isEmpty() || m_floodLeft > 0; }
    bool paced() const { return m_byteNs > 0; }
    // Bytes that may go out now.
    qsizetype allowance() const;
    // An idle or blocked line saves up no bytes for later.
    void resumePacing();
    void pump();
    void updateInterest();

    qint64 m_byteNs;
    int m_fd = -1;
    QSocketNotifier *m_writable = nullptr;
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_nextByteNs = 0;
    bool m_blocked = false;
    QByteArray m_output;
    qint64 m_floodLeft = 0;
};

}  // namespace pairwick::adaptersim
