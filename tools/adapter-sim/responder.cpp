// SPDX-License-Identifier: GPL-3.0-or-later
#include "responder.h"

#include "commandtable.h"

#include <utility>

namespace pairwick::adaptersim {

namespace {

constexpr qsizetype garbageLength = 16;

}  // namespace

Responder::Responder(AdapterState initial, FaultPlan faults, bool lowercaseOk)
    : m_state(std::move(initial)),
      m_faults(std::move(faults)),
      m_ok(lowercaseOk ? "ok\r\n" : "OK\r\n") {}

Response Responder::respond(const QByteArray &line) {
    if (m_faults.triggers(Fault::Vanish, line)) {
        return {Response::Kind::Vanish, {}, false};
    }
    // A fault only spoils what is sent: the command itself still takes effect.
    QByteArray reply = answer(line);
    if (m_faults.triggers(Fault::Silent, line)) {
        return {Response::Kind::Silence, {}, false};
    }
    if (m_faults.triggers(Fault::Garbage, line)) {
        reply = noise(garbageLength);
    } else if (!m_faults.triggers(Fault::NoEcho, line)) {
        reply.prepend(line + "\r\n");
    }
    return {Response::Kind::Reply, reply, m_faults.triggers(Fault::LateTail, line)};
}

QByteArray Responder::answer(const QByteArray &line) {
    if (const QueryLayout *query = findQuery(line)) {
        const bool wrong = m_faults.triggers(Fault::WrongToken, line);
        return formatValueLine(*query, wrong ? withWrongTokens(m_state) : m_state) + m_ok;
    }
    return applyCommand(line, m_state) == Verdict::Accepted ? m_ok : QByteArray("ERROR\r\n");
}

}  // namespace pairwick::adaptersim
