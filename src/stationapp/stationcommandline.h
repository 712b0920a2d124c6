// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <variant>

#include "app/earlyexit.h"
#include "i18n/language.h"
#include "station/stationsetup.h"

namespace pairwick::stationapp {

// What the command line asks of the station window: the fields to fill in, and whether to
// start at once, as a desktop shortcut to a fixed station does.
struct StationOptions {
    station::StationSetup setup;
    i18n::Language language = i18n::Language::Chinese;
    QString logFile;
    bool startAtOnce = false;
};

// Needs no application object and no display, so that --help works anywhere. A field's
// problem is no reason to end: the window shows it beside the field.
std::variant<StationOptions, app::EarlyExit> parseStationCommandLine(const QStringList &arguments);

}  // namespace pairwick::stationapp
