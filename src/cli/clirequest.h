// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "provision/fastexchange.h"
#include "provision/portjob.h"
#include "settings/adaptersettings.h"

namespace pairwick::cli {

// What a call asks for, checked in full before any port is touched.
struct CliRequest {
    // Station, ledger and label read their own options.
    enum class Command { Ports, Read, Write, Reset, Pair, Station, Ledger, Label };
    Command command = Command::Read;
    QStringList ports;                  // pair: MASTER, SLAVE
    settings::AdapterSettings desired;  // pair: what both adapters get
    // pair: what only MASTER and only SLAVE get, beside desired.
    settings::AdapterSettings masterOnly;
    settings::AdapterSettings slaveOnly;
    provision::Pace pace;
    QString logFile;
    bool json = false;
    bool quiet = false;
};

// Help, version, or a usage or profile error: what to print, where, and the exit status.
struct EarlyExit {
    QString text;
    int status = 0;
};

namespace ExitStatus {
inline constexpr int Success = 0;
inline constexpr int PortFailed = 1;
inline constexpr int Usage = 2;
inline constexpr int NotOpened = 3;
inline constexpr int LedgerNotOpened = 4;
inline constexpr int LedgerDisagrees = 1;
inline constexpr int ListingUnwritten = 1;
inline constexpr int Interrupted = 130;
}  // namespace ExitStatus

std::variant<CliRequest, EarlyExit> parseCommandLine(const QStringList &arguments);

// "pairwick-cli: MESSAGE" and where to find help, with the usage status.
EarlyExit usageError(const QString &message);

provision::Operation operationOf(CliRequest::Command command);

}  // namespace pairwick::cli
