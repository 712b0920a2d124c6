// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "settings/adaptersettings.h"
#include "settings/commandplan.h"

namespace pairwick::settings {

// Cuts a query's acknowledged reply into the settings. Returns what could not be taken: a reply
// too short for its layout, or a token that is no entry of its table. Nothing is stored for those.
QStringList readReply(const ReadStep &step, const QString &reply, AdapterSettings &into);

}  // namespace pairwick::settings
