// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "station/batchrules.h"

namespace pairwick::station {

// The row key of a unit number ("007" is 7) or an address (hex digits, upper case, colons or
// dashes between them), or nothing when the text is neither.
std::optional<QString> rowKey(ValuesTable::PickBy pickBy, const QString &unit);

// The values file's content, every cell checked on its own; how the cells fare together with the
// templates is rulesProblem()'s business. Errors name the source, the line and the column.
std::optional<ValuesTable> parseValuesFile(const QByteArray &content, const QString &source,
                                           QString *error);

}  // namespace pairwick::station
