// SPDX-License-Identifier: GPL-3.0-or-later
#include "stationwindow/backgroundqueue.h"

#include <QCoreApplication>
#include <QPointer>

#include "ledger/ledger.h"
#include "station/migrationprinter.h"

namespace pairwick::stationwindow {

BackgroundQueue::BackgroundQueue(QObject *parent) : QObject(parent), m_worker(new QObject) {
    m_thread.setObjectName(QStringLiteral("pairwick-window-ledger"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

BackgroundQueue::~BackgroundQueue() {
    QMetaObject::invokeMethod(
        m_worker, [this] { m_ledger.reset(); }, Qt::BlockingQueuedConnection);
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

void BackgroundQueue::readLedger(QObject *context, const ledger::LedgerLocation &location,
                                 Read read, std::function<void(const QString &problem)> failed) {
    post(context,
         [this, location, read = std::move(read),
          failed = std::move(failed)]() -> std::function<void()> {
             try {
                 if (!m_ledger || m_ledger->location() != location) {
                     m_ledger.reset();
                     m_ledger = std::make_unique<ledger::Ledger>(
                         location, QStringLiteral("pairwick-window"),
                         ledger::Ledger::Opening::ExistingOnly, migrationWatch());
                 }
                 return read(*m_ledger);
             } catch (const ledger::LedgerError &error) {
                 return [failed, problem = error.message()] { failed(problem); };
             }
         });
}

ledger::MigrationWatch BackgroundQueue::migrationWatch() {
    return station::migrationPrinter(
        QStringLiteral("pairwick-station"), stderr,
        [this](const ledger::MigrationProgress &progress) {
            if (m_migrationStopped.load())
                throw ledger::LedgerError(QCoreApplication::translate(
                    "pairwick::stationwindow", "台账结构的更新已中断，台账保持原来的结构"));
            emit migrationProgress(ledger::migrationText(progress));
        });
}

}  // namespace pairwick::stationwindow
