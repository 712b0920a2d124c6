// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "adapterstate.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QSet>

#include <map>

// The misbehaviours a test can ask for, each bound to the command lines that trigger it.
namespace pairwick::adaptersim {

enum class Fault {
    Silent,
    LowercaseOk,
    NoEcho,
    LateTail,
    WrongToken,
    // Answers ERROR and leaves the state alone, as an adapter does with a command it refuses.
    Refuse,
    Garbage,
    NoiseBurst,
    // Ends the program.
    Vanish,
    // Drops the terminal and the link for a while, then comes back with the state kept.
    VanishAndReturn,
};

class FaultPlan {
public:
    void add(Fault fault, const QByteArray &commandLine);
    bool triggers(Fault fault, const QByteArray &commandLine) const;

private:
    std::map<Fault, QSet<QByteArray>> m_commandLines;
};

// The state as a broken adapter would report it: tokens the tool must refuse and
// free-text values with a stray character.
AdapterState withWrongTokens(const AdapterState &state);

// Bytes from 0x80 up, so noise can never be mistaken for a reply or an "OK".
QByteArray noise(qsizetype count, QRandomGenerator &random = *QRandomGenerator::global());

}  // namespace pairwick::adaptersim
