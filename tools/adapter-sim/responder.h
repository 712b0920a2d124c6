// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adapterstate.h"
#include "faults.h"

#include <QByteArray>

namespace pairwick::adaptersim {

struct Response {
    enum class Kind { Reply, Silence, Vanish };

    Kind kind = Kind::Reply;
    QByteArray bytes;
    // The last bytes of the reply are to be held back for a while.
    bool lateTail = false;
};

// Turns one received command line into the adapter's answer, keeping the adapter's state.
class Responder {
public:
    Responder(AdapterState initial, FaultPlan faults, bool lowercaseOk);

    Response respond(const QByteArray &line);

private:
    QByteArray answer(const QByteArray &line);

    AdapterState m_state;
    FaultPlan m_faults;
    QByteArray m_ok;
};

}  // namespace pairwick::adaptersim
