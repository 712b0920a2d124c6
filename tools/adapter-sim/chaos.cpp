// SPDX-License-Identifier: GPL-3.0-or-later
#include "chaos.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace pairwick::adaptersim {

namespace {

constexpr std::array<ChaosKind, 8> kinds{{
    {Fault::Silent, "silent", "no reply at all"},
    {Fault::LowercaseOk, "lowercase-ok", "ok instead of OK"},
    {Fault::NoEcho, "no-echo", "the reply without the repeated command line"},
    {Fault::LateTail, "late-tail", "the last 4 bytes of the reply 1500 ms late"},
    {Fault::WrongToken, "wrong-token", "a value the tool must refuse (queries only)"},
    {Fault::Garbage, "garbage", "16 random non-ASCII bytes instead of the reply"},
    {Fault::NoiseBurst, "noise-burst", "200 to 4000 random non-ASCII bytes inside the reply"},
    {Fault::VanishAndReturn, "vanish",
     "no reply, the line is dropped, the terminal goes away and the link points at\n"
     "                nothing; after 200 to 1500 ms a new terminal comes back under the same\n"
     "                link, state kept"},
}};

constexpr int shortestBurst = 200;
constexpr int longestBurst = 4000;
constexpr int shortestPauseMs = 200;
constexpr int longestPauseMs = 1500;

}  // namespace

std::span<const ChaosKind> chaosKinds() {
    return kinds;
}

std::string_view chaosName(Fault fault) {
    const auto *match = std::find_if(kinds.begin(), kinds.end(),
                                     [&](const ChaosKind &kind) { return kind.fault == fault; });
    return match == kinds.end() ? std::string_view() : match->name;
}

std::optional<Fault> chaosFault(std::string_view name) {
    const auto *match = std::find_if(kinds.begin(), kinds.end(),
                                     [&](const ChaosKind &kind) { return kind.name == name; });
    return match == kinds.end() ? std::nullopt : std::optional(match->fault);
}

Chaos::Chaos(const ChaosSettings &settings, quint32 adapterIndex)
    : m_random(
          std::array<quint32, 3>{quint32(settings.seed), quint32(settings.seed >> 32), adapterIndex}
              .data(),
          3),
      m_rate(settings.rate),
      m_faults(settings.faults) {}

std::optional<Fault> Chaos::draw(bool isQuery) {
    // Nothing but the received lines decides the draws, so a seed replays the same faults.
    if (m_random.generateDouble() >= m_rate) {
        return std::nullopt;
    }
    std::vector<Fault> candidates;
    std::copy_if(m_faults.begin(), m_faults.end(), std::back_inserter(candidates),
                 [&](Fault fault) { return isQuery || fault != Fault::WrongToken; });
    if (candidates.empty()) {
        return std::nullopt;
    }
    return candidates[m_random.bounded(quint32(candidates.size()))];
}

qsizetype Chaos::burstLength() {
    return m_random.bounded(shortestBurst, longestBurst + 1);
}

std::chrono::milliseconds Chaos::returnPause() {
    return std::chrono::milliseconds(m_random.bounded(shortestPauseMs, longestPauseMs + 1));
}

}  // namespace pairwick::adaptersim
