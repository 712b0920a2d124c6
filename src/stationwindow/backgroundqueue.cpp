// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/backgroundqueue.h"

#include <QPointer>

namespace pairwick::stationwindow {

BackgroundQueue::BackgroundQueue(QObject *parent) : QObject(parent), m_worker(new QObject) {
    m_thread.setObjectName(QStringLiteral("pairwick-window-ledger"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

BackgroundQueue::~BackgroundQueue() {
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void BackgroundQueue::post(QObject *context, Work work) {
    QMetaObject::invokeMethod(
        m_worker,
        [this, target = QPointer<QObject>(context), work = std::move(work)] {
            std::function<void()> done = work();
            QMetaObject::invokeMethod(
                this,
                [target, done = std::move(done)] {
                    if (target)
                        done();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

}  // namespace pairwick::stationwindow
