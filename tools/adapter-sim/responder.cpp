// SPDX-License-Identifier: GPL-3.0-or-later
#include "responder.h"

#include "commandtable.h"

#include <utility>

namespace pairwick::adaptersim {

namespace {

constexpr qsizetype garbageLength = 16;

}  // namespace

Responder::Responder(AdapterState initial, FaultPlan faults, bool lowercaseOk,
                     std::optional<Chaos> chaos)
    : m_state(std::move(initial)),
      m_faults(std::move(faults)),
      m_lowercaseOk(lowercaseOk),
      m_chaos(std::move(chaos)) {}

Response Responder::respond(const QByteArray &line) {
    Response response;
    if (m_faults.triggers(Fault::Vanish, line)) {
        response.kind = Response::Kind::Vanish;
        return response;
    }
    const bool isQuery = findQuery(line) != nullptr;
    response.chaos = m_chaos ? m_chaos->draw(isQuery) : std::nullopt;
    if (response.chaos == Fault::VanishAndReturn) {
        response.kind = Response::Kind::VanishAndReturn;
        response.absence = m_chaos->returnPause();
        return response;
    }
    const auto hit = [&](Fault fault) {
        return response.chaos == fault || m_faults.triggers(fault, line);
    };

    // A fault only spoils what is sent: the command itself still takes effect, unless it is
    // refused.
    const AdapterState before = m_state;
    QByteArray reply = hit(Fault::Refuse) ? QByteArray("ERROR\r\n")
                                          : answer(line, hit(Fault::WrongToken),
                                                   m_lowercaseOk || hit(Fault::LowercaseOk));
    response.changed = changedFields(before, m_state);
    if (hit(Fault::Silent)) {
        response.kind = Response::Kind::Silence;
        return response;
    }
    if (hit(Fault::Garbage)) {
        reply = noise(garbageLength, random());
    } else if (!hit(Fault::NoEcho)) {
        reply.prepend(line + "\r\n");
    }
    if (response.chaos == Fault::NoiseBurst) {
        const qsizetype length = m_chaos->burstLength();
        reply.insert(random().bounded(1, int(reply.size())), noise(length, random()));
    }
    response.bytes = reply;
    response.lateTail = hit(Fault::LateTail);
    return response;
}

QByteArray Responder::answer(const QByteArray &line, bool wrongTokens, bool lowercaseOk) {
    const QByteArray ok = lowercaseOk ? "ok\r\n" : "OK\r\n";
    if (const QueryLayout *query = findQuery(line)) {
        return formatValueLine(*query, wrongTokens ? withWrongTokens(m_state) : m_state) + ok;
    }
    return applyCommand(line, m_state) == Verdict::Accepted ? ok : QByteArray("ERROR\r\n");
}

QRandomGenerator &Responder::random() {
    return m_chaos ? m_chaos->random() : *QRandomGenerator::global();
}

}  // namespace pairwick::adaptersim
