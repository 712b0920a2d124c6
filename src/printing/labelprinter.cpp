// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/labelprinter.h"

#include <QCoreApplication>
#include <QThread>

#include "ledger/ledger.h"

namespace pairwick::printing {

LabelPrinter::LabelPrinter(PrintSetup setup, const QString &queueFolder, QObject *parent)
    : QObject(parent), m_setup(std::move(setup)), m_queue(queueFolder) {}

LabelPrinter::~LabelPrinter() {
    stop();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool LabelPrinter::start(QString *error) {
    if (!m_queue.open(error))
        return false;
    m_waiting.store(m_queue.waiting());
    m_uncertainAtStart = int(m_queue.toRecord(true).size());
    m_thread = QThread::create([this] { run(); });
    connect(m_thread, &QThread::finished, this, &LabelPrinter::finished);
    m_thread->start();
    return true;
}

bool LabelPrinter::addPass(const labels::LabelValues &values, QString *error) {
    if (!m_queue.add(values, error))
        return false;
    emit waitingChanged(++m_waiting);
    QMutexLocker lock(&m_wakeMutex);
    m_woken = true;
    m_wake.wakeAll();
    return true;
}

void LabelPrinter::stop() {
    m_stop.store(true);
    QMutexLocker lock(&m_wakeMutex);
    m_woken = true;
    m_wake.wakeAll();
}

void LabelPrinter::tell(const std::function<void()> &signal) {
    QMetaObject::invokeMethod(this, signal, Qt::QueuedConnection);
}

void LabelPrinter::sleep(int milliseconds) {
    QMutexLocker lock(&m_wakeMutex);
    // A label added while the last look found none wakes it before it sleeps.
    if (!m_woken)
        m_wake.wait(&m_wakeMutex, QDeadlineTimer(milliseconds));
    m_woken = false;
}

void LabelPrinter::run() {
    while (!m_stop.load()) {
        recordWaiting();
        if (m_failed) {
            sleep(RetryMs);
            continue;
        }
        if (!sendNext())
            sleep(m_away ? RetryMs : RetryMs * 5);
    }
    recordWaiting();
    m_ledger.reset();
}

bool LabelPrinter::sendNext() {
    QString error;
    std::optional<QueuedLabel> label = m_queue.oldest(&error);
    if (!label) {
        if (!error.isEmpty()) {
            m_failed = true;
            tell([this, error] { emit failed(error); });
        }
        return false;
    }
    const labels::LabelValues &values = label->values;
    const auto made = m_setup.maker.make(values);
    SendOutcome outcome;
    if (const auto *problem = std::get_if<QString>(&made))
        outcome = SendOutcome::misconfigured(
            QCoreApplication::translate("pairwick::printing", "批次 %1 第 %2 号的标签无法生成：%3")
                .arg(values.batch)
                .arg(values.seq)
                .arg(*problem));
    else
        outcome = sendLabel(m_setup.destination,
                            {std::get<QByteArray>(made), m_setup.maker.kind, m_setup.copies,
                             values.batch, values.seq, [this, &label] {
                                 QString problem;
                                 m_queue.markSending(*label, &problem);
                                 return problem;
                             }});
    if (outcome.kind != SendOutcome::Kind::Sent) {
        QString ignored;
        // Left as .sending should this fail: at worst recorded as uncertain, never sent twice.
        m_queue.putBack(*label, &ignored);
        if (outcome.kind == SendOutcome::Kind::Misconfigured) {
            m_failed = true;
            tell([this, reason = outcome.reason] { emit failed(reason); });
        } else if (!m_away) {
            m_away = true;
            tell([this, reason = outcome.reason] { emit printerAway(reason); });
        }
        return false;
    }
    if (m_away) {
        m_away = false;
        tell([this] { emit printerBack(); });
    }
    // The printer has it: from here on it is never sent again, whatever happens.
    if (!m_queue.markSent(*label, &error))
        tell([this, error] { emit recordPending(error); });
    const int left = --m_waiting;
    tell([this, left, batch = values.batch, seq = values.seq] {
        emit labelSent(batch, seq);
        emit waitingChanged(left);
    });
    return true;
}

// What was sent, or may have been, goes to the ledger; what the ledger cannot take now waits.
void LabelPrinter::recordWaiting() {
    for (const bool uncertain : {false, true}) {
        for (const QueuedLabel &label : m_queue.toRecord(uncertain)) {
            if (!record(label, uncertain ? QStringLiteral("uncertain") : QStringLiteral("sent")))
                return;
            m_queue.forget(label);
        }
    }
}

bool LabelPrinter::record(const QueuedLabel &label, const QString &state) {
    const ledger::LabelRecord row{
        label.id,
        label.values.batch,
        label.values.seq,
        m_setup.maker.templateHash,
        m_setup.destination.text,
        label.sent.isValid() ? label.sent : QDateTime::currentDateTimeUtc(),
        m_setup.copies,
        label.waited ? QStringLiteral("pending after outage") : QStringLiteral("pass"),
        state,
        m_setup.station};
    try {
        if (!m_ledger)
            m_ledger =
                std::make_unique<ledger::Ledger>(m_setup.ledger, QStringLiteral("pairwick-labels"));
        m_ledger->recordLabel(row);
        return true;
    } catch (const ledger::LedgerError &error) {
        m_ledger.reset();
        tell([this, reason = error.message()] { emit recordPending(reason); });
        return false;
    }
}

}  // namespace pairwick::printing
