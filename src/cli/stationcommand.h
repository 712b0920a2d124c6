// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pairwick::cli {

// `pairwick-cli station ...`: runs until Ctrl-C, SIGTERM or the batch's --count; the exit status.
int runStationCommand(const QStringList &arguments);

}  // namespace pairwick::cli
