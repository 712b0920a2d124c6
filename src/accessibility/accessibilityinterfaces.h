// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace pairwick::accessibility {

// What one object offers on the accessibility bus, as its own introspection declares it.
struct BusInterface {
    // Method name -> signature of its input arguments.
    QHash<QString, QString> methods;
    QStringList readableProperties;
    QStringList writableProperties;
};

// Interface name -> what it offers. Empty for text that is no introspection.
using BusInterfaces = QHash<QString, BusInterface>;

BusInterfaces parseIntrospection(const QString &xml);

}  // namespace pairwick::accessibility
