// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>

#include "settings/adaptersettings.h"

// Lists of keys as records and messages name them.
namespace pairwick::settings {

// ["name", "pin"], in the order given.
QJsonArray keyNameArray(const QList<Key> &keys);
// "name,pin".
QString joinedKeyNames(const QList<Key> &keys);

}  // namespace pairwick::settings
