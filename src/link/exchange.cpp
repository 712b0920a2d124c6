// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/exchange.h"

#include "link/serialport.h"
#include "link/waiter.h"

namespace pairwick::link {

Exchange::Exchange(SerialPort &port, Waiter &waiter, QObject *parent)
    : QObject(parent), m_port(port), m_waiter(waiter) {}

template <typename Action>
void Exchange::attempt(Action &&action, FaultPolicy *policy) {
    try {
        action();
    } catch (const PortError &fault) {
        if (!policy)
            throw;
        policy->onPortFault(fault);
    }
}

void Exchange::throwIfCancelled() const {
    if (m_cancelled)
        throw RunCancelled();
}

void Exchange::WaitOneSecond() {
    throwIfCancelled();
    if (!m_waiter.waitOneSecond())
        m_cancelled = true;
    throwIfCancelled();
}

QString Exchange::ExchangeCommand(const QString &command, FaultPolicy *policy) {
    throwIfCancelled();
    attempt([&] { m_port.write(command + QStringLiteral("\r\n")); }, policy);
    WaitOneSecond();
    QString reply;
    attempt([&] { reply = m_port.readAll(); }, policy);
    return reply;
}

void Exchange::DiscardInput(FaultPolicy *policy) {
    throwIfCancelled();
    attempt([&] { m_port.discardInput(); }, policy);
}

bool Exchange::portOpen() const {
    return m_port.isOpen();
}

Exchange::RunScope::RunScope(Exchange &exchange) : m_exchange(exchange) {
    if (m_exchange.m_runDepth++ == 0) {
        m_exchange.m_cancelled = false;
        m_exchange.m_loss.reset();
        m_exchange.m_lossReported = false;
    }
}

Exchange::RunScope::~RunScope() {
    if (--m_exchange.m_runDepth == 0)
        emit m_exchange.runFinished();
}

void Exchange::cancelRun() {
    if (!busy())
        return;
    m_cancelled = true;
    m_waiter.interrupt();
}

void Exchange::recordLoss(const QString &message) {
    if (!m_loss)
        m_loss = message;
}

void Exchange::markLossReported() {
    m_lossReported = true;
}

std::optional<QString> Exchange::takeUnreportedLoss() {
    std::optional<QString> loss;
    if (!m_lossReported)
        loss = m_loss;
    m_loss.reset();
    m_lossReported = false;
    return loss;
}

}  // namespace pairwick::link
