// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <atomic>
#include <vector>

#include "provision/portjob.h"

class QThread;

namespace pairwick::provision {

// Every port on a thread of its own, so each keeps its own pace and a slow or failing adapter
// holds up no other. Progress and the end are reported on the thread that owns the run.
class ParallelRun : public QObject {
    Q_OBJECT

public:
    ParallelRun(QList<PortJob> jobs, link::TrafficLog *log, QObject *parent = nullptr);
    ~ParallelRun() override;

    void start();
    // Every port stops at its next step; nothing more is sent.
    void stop();
    bool stopRequested() const { return m_stop.load(); }
    const std::vector<PortResult> &results() const { return m_results; }

signals:
    void progress(int index, const provision::StepProgress &progress);
    // The port is through, and its result is in results(); the others may still be running.
    void portFinished(int index);
    void finished();

private:
    void onThreadFinished(int index);

    QList<PortJob> m_jobs;
    link::TrafficLog *m_log;
    std::vector<PortResult> m_results;
    std::vector<QThread *> m_threads;
    std::atomic_bool m_stop{false};
    int m_running = 0;
};

}  // namespace pairwick::provision
