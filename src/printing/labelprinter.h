// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QObject>
#include <QWaitCondition>
#include <atomic>
#include <memory>

#include "labels/labelvalues.h"
#include "ledger/ledgerlocation.h"
#include "printing/labelmaker.h"
#include "printing/labelqueue.h"
#include "printing/printerdestination.h"

class QThread;

namespace pairwick::ledger {
class Ledger;
}

namespace pairwick::printing {

struct PrintSetup {
    PrinterDestination destination;
    LabelMaker maker;
    int copies = 1;
    ledger::LedgerLocation ledger;
    QString station;
};

// A station's labels: each passed unit's label queued on disk at once, then made, sent and
// recorded in the ledger on a thread of its own, in the order of the passes, so that no slot
// and no window ever waits for a printer. A printer that is away gets each label again, whole,
// every RetryMs until it takes it; the labels behind it wait their turn. Drive it from the
// thread that owns it (a window's, the command line's main thread): every call returns at once,
// and every signal arrives there.
class LabelPrinter : public QObject {
    Q_OBJECT

public:
    static constexpr int RetryMs = 1000;

    LabelPrinter(PrintSetup setup, const QString &queueFolder, QObject *parent = nullptr);
    // Ends the thread after the label it is sending; what waits stays queued.
    ~LabelPrinter() override;

    // Opens the queue and starts printing what an earlier run left, then what comes. False and
    // why when the queue's folder cannot be used.
    bool start(QString *error);
    // A unit that passed, once its end is in the spool or the ledger. Queued on disk when it
    // returns true.
    bool addPass(const labels::LabelValues &values, QString *error);
    // Sends no further label once the one under way is out; finished() follows.
    void stop();

    // Labels not yet sent.
    int waiting() const { return m_waiting.load(); }
    // Labels whose sending a kill cut short before this start: recorded as uncertain, not sent.
    int uncertainAtStart() const { return m_uncertainAtStart; }
    const PrintSetup &setup() const { return m_setup; }
    const QString &queueFolder() const { return m_queue.folder(); }

signals:
    void waitingChanged(int waiting);
    // The printer took no label: refused, unplugged, out of paper ... Told once an outage.
    void printerAway(const QString &reason);
    void printerBack();
    void labelSent(const QString &batch, qint64 seq);
    // Sent but not in the ledger yet (the ledger is away), or a row that could not be written.
    void recordPending(const QString &reason);
    // A label that cannot be made, or a destination that cannot work: nothing more is sent.
    void failed(const QString &reason);
    void finished();

private:
    void run();
    // Sends one label; false when the loop should wait before the next try.
    bool sendNext();
    void recordWaiting();
    bool record(const QueuedLabel &label, const QString &state);
    void sleep(int milliseconds);
    void tell(const std::function<void()> &signal);

    PrintSetup m_setup;
    LabelQueue m_queue;
    std::unique_ptr<ledger::Ledger> m_ledger;  // the thread's own connection, opened when needed
    QThread *m_thread = nullptr;
    std::atomic_int m_waiting{0};
    int m_uncertainAtStart = 0;
    std::atomic_bool m_stop{false};
    bool m_away = false;
    bool m_failed = false;
    QMutex m_wakeMutex;
    QWaitCondition m_wake;
    bool m_woken = false;  // under m_wakeMutex
};

}  // namespace pairwick::printing
