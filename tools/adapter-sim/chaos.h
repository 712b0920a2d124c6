// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "faults.h"

#include <QRandomGenerator>

#include <chrono>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Faults drawn at random, the same ones again for the same seed and the same received lines.
namespace pairwick::adaptersim {

struct ChaosKind {
    Fault fault;
    std::string_view name;
    std::string_view description;
};

// Every fault chaos mode can play, under the names the log and --chaos-faults use.
std::span<const ChaosKind> chaosKinds();
std::string_view chaosName(Fault fault);
std::optional<Fault> chaosFault(std::string_view name);

struct ChaosSettings {
    quint64 seed = 0;
    double rate = 0.1;
    // The faults to draw from; all of chaosKinds() unless narrowed.
    std::vector<Fault> faults;
};

class Chaos {
public:
    // Each adapter of a run draws from its own sequence.
    Chaos(const ChaosSettings &settings, quint32 adapterIndex);

    // The fault for the next received line, if it gets one.
    std::optional<Fault> draw(bool isQuery);
    qsizetype burstLength();
    std::chrono::milliseconds returnPause();
    QRandomGenerator &random() { return m_random; }

private:
    QRandomGenerator m_random;
    double m_rate;
    std::vector<Fault> m_faults;
};

}  // namespace pairwick::adaptersim
