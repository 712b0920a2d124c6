// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/accessibilitybusguard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPointer>

#include "accessibility/accessibilitycallcheck.h"

namespace pairwick::accessibility {

namespace {

// The name under which Qt's AT-SPI bridge opens its connection to the accessibility bus.
const QLatin1StringView BridgeConnection("a11y");
const QLatin1StringView PropertiesInterface("org.freedesktop.DBus.Properties");
const QLatin1StringView ValueInterface("org.a11y.atspi.Value");

class GuardInstaller final : public QObject, public QAccessible::ActivationObserver {
public:
    explicit GuardInstaller(QObject *parent) : QObject(parent) {
        QAccessible::installActivationObserver(this);
    }
    ~GuardInstaller() override { QAccessible::removeActivationObserver(this); }

    void accessibilityActiveChanged(bool active) override {
        // The bridge reports itself active just before it registers its adaptor.
        if (active) {
            QMetaObject::invokeMethod(
                this, [] { AccessibilityBusGuard::guard(QDBusConnection(BridgeConnection)); },
                Qt::QueuedConnection);
        }
    }
};

// A call to the connection's own name is answered in-process, through the object registered at
// the path, before call() returns.
QDBusMessage callOwnObject(const QDBusConnection &connection, const QString &path,
                           const QString &member, const QVariantList &arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(connection.baseService(), path, PropertiesInterface, member);
    call.setArguments(arguments);
    return connection.call(call, QDBus::Block);
}

}  // namespace

void AccessibilityBusGuard::installWhenActive() {
    static QPointer<GuardInstaller> installer;
    if (installer || !QCoreApplication::instance())
        return;
    installer = new GuardInstaller(QCoreApplication::instance());
    if (QAccessible::isActive())
        installer->accessibilityActiveChanged(true);
}

bool AccessibilityBusGuard::guard(QDBusConnection bus) {
    QObject *registered = bus.objectRegisteredAt(AccessiblePath);
    if (qobject_cast<AccessibilityBusGuard *>(registered))
        return true;
    auto *adaptor = qobject_cast<QDBusVirtualObject *>(registered);
    if (!adaptor)
        return false;
    bus.unregisterObject(AccessiblePath);
    auto *guard = new AccessibilityBusGuard(*adaptor, adaptor);
    if (bus.registerVirtualObject(AccessiblePath, guard, QDBusConnection::SubPath))
        return true;
    delete guard;
    bus.registerVirtualObject(AccessiblePath, adaptor, QDBusConnection::SubPath);
    return false;
}

AccessibilityBusGuard::AccessibilityBusGuard(QDBusVirtualObject &adaptor, QObject *parent)
    : QDBusVirtualObject(parent), m_adaptor(adaptor) {}

QString AccessibilityBusGuard::introspect(const QString &path) const {
    return m_adaptor.introspect(path);
}

bool AccessibilityBusGuard::handleMessage(const QDBusMessage &message,
                                          const QDBusConnection &connection) {
    const CallCheck check = checkCall(BusCall::from(message), interfacesAt(message.path()));
    switch (check.verdict) {
        case CallCheck::Verdict::Forward:
            return m_adaptor.handleMessage(message, connection);
        case CallCheck::Verdict::Refuse:
            return connection.send(message.createErrorReply(check.errorName, check.errorMessage));
        case CallCheck::Verdict::AnswerAllProperties:
            return answerAllProperties(message, connection);
        case CallCheck::Verdict::SetValueAsProperty:
            return setValueAsProperty(message, connection);
    }
    return false;
}

// By value: a call made while answering comes back through here and may add a reading.
BusInterfaces AccessibilityBusGuard::interfacesAt(const QString &path) {
    const QString xml = m_adaptor.introspect(path);
    auto reading = m_readings.constFind(xml);
    if (reading == m_readings.cend())
        reading = m_readings.insert(xml, parseIntrospection(xml));
    return *reading;
}

bool AccessibilityBusGuard::answerAllProperties(const QDBusMessage &message,
                                                const QDBusConnection &connection) {
    const QString wanted = message.arguments().constFirst().toString();
    const BusInterfaces interfaces = interfacesAt(message.path());
    if (!wanted.isEmpty() && !interfaces.contains(wanted)) {
        return connection.send(message.createErrorReply(
            QDBusError::UnknownInterface, QStringLiteral("%1 is not offered here").arg(wanted)));
    }
    // An empty name asks for the properties of every interface.
    QStringList names = wanted.isEmpty() ? interfaces.keys() : QStringList{wanted};
    names.sort();
    QVariantMap properties;
    for (const QString &name : std::as_const(names)) {
        for (const QString &property : interfaces.value(name).readableProperties) {
            const QDBusMessage reply =
                callOwnObject(connection, message.path(), QStringLiteral("Get"), {name, property});
            // A property that cannot be read now is left out, as its own Get would fail.
            if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1) {
                properties.insert(
                    property,
                    qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant());
            }
        }
    }
    return connection.send(message.createReply(QVariant::fromValue(properties)));
}

bool AccessibilityBusGuard::setValueAsProperty(const QDBusMessage &message,
                                               const QDBusConnection &connection) {
    const QVariant value = QVariant::fromValue(QDBusVariant(message.arguments().constFirst()));
    const QDBusMessage reply =
        callOwnObject(connection, message.path(), QStringLiteral("Set"),
                      {QString(ValueInterface), QStringLiteral("CurrentValue"), value});
    if (reply.type() == QDBusMessage::ErrorMessage)
        return connection.send(message.createErrorReply(reply.errorName(), reply.errorMessage()));
    return connection.send(message.createReply());
}

}  // namespace pairwick::accessibility
