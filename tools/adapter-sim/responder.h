// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adapterstate.h"
#include "chaos.h"
#include "faults.h"

#include <QByteArray>

#include <chrono>
#include <optional>

namespace pairwick::adaptersim {

struct Response {
    enum class Kind { Reply, Silence, Vanish, VanishAndReturn };

    Kind kind = Kind::Reply;
    QByteArray bytes;
    // The last bytes of the reply are to be held back for a while.
    bool lateTail = false;
    // The fault chaos mode drew for the line.
    std::optional<Fault> chaos;
    FieldList changed;
    // How long a vanished adapter stays away.
    std::chrono::milliseconds absence{0};
};

// Turns one received command line into the adapter's answer, keeping the adapter's state.
class Responder {
public:
    Responder(AdapterState initial, FaultPlan faults, bool lowercaseOk,
              std::optional<Chaos> chaos = std::nullopt);

    Response respond(const QByteArray &line);
    const AdapterState &state() const { return m_state; }

private:
    QByteArray answer(const QByteArray &line, bool wrongTokens, bool lowercaseOk);
    QRandomGenerator &random();

    AdapterState m_state;
    FaultPlan m_faults;
    bool m_lowercaseOk;
    std::optional<Chaos> m_chaos;
};

}  // namespace pairwick::adaptersim
