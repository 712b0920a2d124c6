// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/keynames.h"

#include <QStringList>

namespace pairwick::settings {

QJsonArray keyNameArray(const QList<Key> &keys) {
    QJsonArray names;
    for (Key key : keys)
        names.append(keyName(key));
    return names;
}

QString joinedKeyNames(const QList<Key> &keys) {
    QStringList names;
    for (Key key : keys)
        names.append(keyName(key));
    return names.join(u',');
}

}  // namespace pairwick::settings
