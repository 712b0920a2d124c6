// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/passlabel.h"

namespace pairwick::printing {

std::optional<labels::LabelValues> passLabelValues(const station::UnitReport &report,
                                                   const station::StationConfig &config) {
    if (report.result != ledger::AttemptResult::Passed || report.seq == 0)
        return std::nullopt;
    return labels::LabelValues{report.settings.value(settings::Key::Name),
                               report.settings.value(settings::Key::Pin),
                               report.address,
                               report.seq,
                               config.batch,
                               config.station,
                               report.slot,
                               QDate::currentDate(),
                               config.operatorName};
}

}  // namespace pairwick::printing
