// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusVirtualObject>
#include <QHash>

#include "accessibility/accessibilityinterfaces.h"

namespace pairwick::accessibility {

// Stands in front of the toolkit's accessibility adaptor on the assistive-technology bus.
// Qt 6.4's adaptor takes call arguments by position without counting them: the standard
// Properties.GetAll (one argument, read as a Get of two) and any call short of arguments read
// past the end of the list and end the program. The guard passes on only calls whose arguments
// match what the object declares, answers GetAll from the single properties, and refuses the
// rest with a D-Bus error.
class AccessibilityBusGuard final : public QDBusVirtualObject {
    Q_OBJECT

public:
    // Where the adaptor serves every accessible object, each on a path below this one.
    static inline const QString AccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");

    // Puts a guard in front of the adaptor whenever assistive technology turns accessibility on.
    static void installWhenActive();
    // Puts a guard in front of the virtual object registered at AccessiblePath on `bus`, unless
    // one is there already. Returns whether a guard stands there afterwards.
    static bool guard(QDBusConnection bus);

    AccessibilityBusGuard(QDBusVirtualObject &adaptor, QObject *parent);

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    BusInterfaces interfacesAt(const QString &path);
    bool answerAllProperties(const QDBusMessage &message, const QDBusConnection &connection);
    bool setValueAsProperty(const QDBusMessage &message, const QDBusConnection &connection);

    QDBusVirtualObject &m_adaptor;
    // Introspection text -> its reading; the adaptor builds it from a few fixed fragments.
    QHash<QString, BusInterfaces> m_readings;
};

}  // namespace pairwick::accessibility
