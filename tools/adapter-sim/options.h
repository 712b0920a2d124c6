// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chaos.h"
#include "faults.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <variant>

namespace pairwick::adaptersim {

struct Options {
    QString portsFolder;
    // The n of the first adapter's COMn; the others follow it.
    int firstPort = 1;
    int adapters = 1;
    bool startAsMaster = false;
    bool gb18030Name = false;
    bool lowercaseOk = false;
    bool quiet = false;
    qint64 floodBytes = 0;
    std::chrono::milliseconds replyDelay{20};
    // 0: unpaced.
    qint64 lineRate = 0;
    std::optional<ChaosSettings> chaos;
    FaultPlan faults;
    // Each port plays a series of units, changed by control lines on standard input.
    bool units = false;
    qint64 firstUnit = 1;
    std::chrono::milliseconds unitSettle{300};
    bool startEmpty = false;
    // An unplugged adapter takes a by-path link of its own with it, as udev does, instead of
    // the port map's link being re-pointed at nothing.
    bool udevLinks = false;
};

// What to print and the exit code, for --help and for arguments that make no sense.
struct EarlyExit {
    QString text;
    int exitCode = 0;
};

std::variant<Options, EarlyExit> parseOptions(const QStringList &arguments);

}  // namespace pairwick::adaptersim
