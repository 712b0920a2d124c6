// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "faults.h"

#include <QString>
#include <QStringList>

#include <variant>

namespace pairwick::adaptersim {

struct Options {
    QString portsFolder;
    QString linkName;
    bool startAsMaster = false;
    bool gb18030Name = false;
    bool lowercaseOk = false;
    bool quiet = false;
    qint64 floodBytes = 0;
    FaultPlan faults;
};

// What to print and the exit code, for --help and for arguments that make no sense.
struct EarlyExit {
    QString text;
    int exitCode = 0;
};

std::variant<Options, EarlyExit> parseOptions(const QStringList &arguments);

}  // namespace pairwick::adaptersim
