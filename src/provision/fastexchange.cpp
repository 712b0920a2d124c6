// SPDX-License-Identifier: GPL-3.0-or-later
#include "provision/fastexchange.h"

#include <QDeadlineTimer>
#include <QThread>

#include "link/commport.h"
#include "link/porterror.h"
#include "protocol/replylayout.h"

namespace pairwick::provision {

namespace {

constexpr int PacedMs = 1000;
constexpr qint64 StopCheckMs = 20;
// No reply of the command set comes near this; beyond it the line carries noise, which is read
// (so the system's buffer drains) but not kept.
constexpr qsizetype ReplyLimit = 8192;

}  // namespace

FastExchange::FastExchange(link::CommPort &port, Pace pace, const std::atomic_bool &stop)
    : m_port(port), m_pace(pace), m_stop(stop) {}

void FastExchange::throwIfStopped() const {
    if (m_stop.load())
        throw link::RunCancelled();
}

void FastExchange::waitForInput(qint64 remainingMs) {
    throwIfStopped();
    m_port.waitForInput(int(std::min(remainingMs, StopCheckMs)));
}

Reply FastExchange::exchange(const QString &command) {
    throwIfStopped();
    m_port.discardInput();
    throwIfStopped();
    ++m_linesSent;
    m_port.write(command + QStringLiteral("\r\n"));
    const QDeadlineTimer deadline(m_pace.paced ? PacedMs : m_pace.timeoutMs);
    Reply reply;
    for (;;) {
        const QString received = m_port.readAll();
        reply.text += received.left(ReplyLimit - reply.text.size());
        const std::optional<protocol::ReplySpan> span =
            protocol::completeReply(command, reply.text);
        if (span && (!m_pace.paced || deadline.hasExpired())) {
            reply.text = reply.text.mid(span->start, span->length);
            reply.complete = true;
            return reply;
        }
        if (deadline.hasExpired())
            return reply;
        waitForInput(deadline.remainingTime());
    }
}

void FastExchange::pause(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        throwIfStopped();
        QThread::msleep(ulong(std::min(deadline.remainingTime(), StopCheckMs)));
    }
    throwIfStopped();
}

std::optional<int> parseTimeout(const QString &milliseconds) {
    bool valid = false;
    const int value = milliseconds.trimmed().toInt(&valid);
    if (!valid || value < 1 || value > TimeoutLimitMs)
        return std::nullopt;
    return value;
}

}  // namespace pairwick::provision
