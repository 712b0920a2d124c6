// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "activitylog.h"
#include "linesplitter.h"
#include "responder.h"

#include <QByteArray>
#include <QObject>

#include <chrono>

class QSocketNotifier;

namespace pairwick::adaptersim {

// Plays the adapter on the master side of the pseudo-terminal: reads command lines, answers
// them after a short delay like the real device, and optionally floods the line with noise.
class Simulator : public QObject {
    Q_OBJECT

public:
    Simulator(int masterFd, Responder &responder, const ActivityLog &log, qint64 floodBytes,
              QObject *parent = nullptr);

signals:
    // The simulator has stopped touching the terminal; the program is to end with this code.
    void finished(int exitCode);

private:
    void readInput();
    void handleLine(const QByteArray &line);
    void schedule(const QByteArray &bytes, std::chrono::milliseconds delay);
    void send(const QByteArray &bytes);
    void writePending();
    void updateWriteInterest();
    void finish(int exitCode, const QString &reason);

    int m_master;
    Responder &m_responder;
    const ActivityLog &m_log;
    LineSplitter m_splitter;
    QSocketNotifier *m_readable;
    QSocketNotifier *m_writable;
    QByteArray m_output;
    qsizetype m_scheduledBytes = 0;
    qint64 m_floodBytes;
    qint64 m_floodLeft = 0;
    bool m_floodScheduled = false;
    bool m_finished = false;
};

}  // namespace pairwick::adaptersim
