// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <optional>
#include <variant>

#include "cli/clirequest.h"
#include "printing/labelprinter.h"
#include "service/listenaddress.h"
#include "station/stationconfig.h"

namespace pairwick::cli {

// A station call, checked in full before the ledger is opened or any slot watched.
struct StationRequest {
    station::StationConfig config;  // its rules are the ones this call brings
    QString logFile;
    std::optional<service::ListenAddress> metrics;
    // A label for every unit that passed; its template and printer checked.
    std::optional<printing::PrintSetup> labels;
    bool firstGiven = false;
    bool json = false;
    bool quiet = false;
};

std::variant<StationRequest, EarlyExit> parseStationCommand(const QStringList &arguments);

}  // namespace pairwick::cli
