// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "settings/adaptersettings.h"
#include "station/valuetemplate.h"

namespace pairwick::station {

// The value with its fields filled in for this unit, or nothing and why it cannot be written
// under the key: the template's own fault, or the filled-in value's, quoting both. The caller
// names where the value came from.
std::optional<QString> fillValue(settings::Key key, const QString &text,
                                 const TemplateContext &context, const RandomDigits &random,
                                 QString *problem);

}  // namespace pairwick::station
