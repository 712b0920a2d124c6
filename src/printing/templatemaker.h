// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <variant>

#include "printing/labelprinter.h"
#include "station/stationsetup.h"

namespace pairwick::printing {

// Any template, ZPL or SVG, made in this process: for a program that loads Qt Gui (pairwick-label,
// the station's window), which draws an SVG label's PDF page itself. Checked in full at once.
std::variant<LabelMaker, QString> templateMaker(const QString &path);

// A setup's template and printer, checked as its other fields are: each problem is added beside
// its field. Nothing when the setup prints no labels or has a problem.
std::optional<PrintSetup> checkLabelSetup(const station::StationSetup &setup,
                                          QList<station::SetupProblem> &problems);

}  // namespace pairwick::printing
