// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>

#include "labels/labelvalues.h"

namespace pairwick::printing {

// A label's values as the queue keeps them and pairwick-label reads them (label preview
// --values): batch, seq, name, pin, address, station, slot. The date is the day it is drawn.
QJsonObject valuesJson(const labels::LabelValues &values);
labels::LabelValues valuesFromJson(const QJsonObject &json);

}  // namespace pairwick::printing
