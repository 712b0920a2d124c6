// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/parallelrun.h"

#include <QThread>

namespace pairwick::provision {

ParallelRun::ParallelRun(QList<PortJob> jobs, link::TrafficLog *log, QObject *parent)
    : QObject(parent), m_jobs(std::move(jobs)), m_log(log), m_results(m_jobs.size()) {}

ParallelRun::~ParallelRun() {
    stop();
    for (QThread *thread : m_threads) {
        thread->wait();
        delete thread;
    }
}

void ParallelRun::start() {
    m_running = int(m_jobs.size());
    if (m_running == 0) {
        QMetaObject::invokeMethod(this, &ParallelRun::finished, Qt::QueuedConnection);
        return;
    }
    for (qsizetype index = 0; index < m_jobs.size(); ++index) {
        // The job is copied here, on the owning thread: indexing the shared list from the
        // workers would detach it from several threads at once.
        QThread *thread = QThread::create([this, index, job = m_jobs.at(index)] {
            // Each thread writes only its own result, and it is read only once the thread ended.
            m_results[std::size_t(index)] =
                runPortJob(job, m_stop, m_log, [this, index](const StepProgress &step) {
                    QMetaObject::invokeMethod(
                        this, [this, index, step] { emit progress(int(index), step); },
                        Qt::QueuedConnection);
                });
        });
        connect(thread, &QThread::finished, this, [this, index] { onThreadFinished(int(index)); });
        m_threads.push_back(thread);
        thread->start();
    }
}

void ParallelRun::stop() {
    m_stop.store(true);
}

void ParallelRun::onThreadFinished(int index) {
    emit portFinished(index);
    if (--m_running == 0)
        emit finished();
}

}  // namespace pairwick::provision
