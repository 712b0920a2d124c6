// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "link/porterror.h"

namespace pairwick::link {

class SerialPort;
class Waiter;

// Decides what a port fault in the middle of an exchange means to the run that sent it.
class FaultPolicy {
public:
    virtual ~FaultPolicy() = default;
    // Return to skip the faulting action; throw to end the run.
    virtual void onPortFault(const PortError &fault) = 0;
};

// The strict alternation of one command line and one reply, paced by one second, and the runs
// that use it. Only one run at a time talks to the port; runs may nest (a read inside a
// connect or a factory reset) and end together.
class Exchange : public QObject {
    Q_OBJECT

public:
    Exchange(SerialPort &port, Waiter &waiter, QObject *parent = nullptr);

    void WaitOneSecond();
    QString ExchangeCommand(const QString &command, FaultPolicy *policy = nullptr);
    void DiscardInput(FaultPolicy *policy = nullptr);

    bool portOpen() const;

    class RunScope {
    public:
        explicit RunScope(Exchange &exchange);
        ~RunScope();
        RunScope(const RunScope &) = delete;
        RunScope &operator=(const RunScope &) = delete;

    private:
        Exchange &m_exchange;
    };

    bool busy() const { return m_runDepth > 0; }
    bool cancelled() const { return m_cancelled; }
    // Ends the running run at its next step: the wait returns at once and nothing more is sent.
    void cancelRun();

    // A device that left during a run is reported once, by whoever gets there first.
    void recordLoss(const QString &message);
    void markLossReported();
    std::optional<QString> takeUnreportedLoss();

signals:
    // The outermost run has ended; the connection then matches its look to the port.
    void runFinished();

private:
    template <typename Action>
    void attempt(Action &&action, FaultPolicy *policy);
    void throwIfCancelled() const;

    SerialPort &m_port;
    Waiter &m_waiter;
    int m_runDepth = 0;
    bool m_cancelled = false;
    std::optional<QString> m_loss;
    bool m_lossReported = false;
};

}  // namespace pairwick::link
