// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility/accessibilitycallcheck.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>

namespace pairwick::accessibility {

namespace {

const QLatin1StringView PropertiesInterface("org.freedesktop.DBus.Properties");
const QLatin1StringView AccessibilityPrefix("org.a11y.atspi.");
const QLatin1StringView ValueInterface("org.a11y.atspi.Value");

CallCheck refuse(QDBusError::ErrorType type, const QString &message) {
    return {CallCheck::Verdict::Refuse, QDBusError::errorString(type), message};
}

QString describe(const BusCall &call) {
    return call.interface + QLatin1Char('.') + call.member + QLatin1Char('(') + call.signature +
           QLatin1Char(')');
}

CallCheck checkPropertyCall(const BusCall &call, const BusInterfaces &interfaces) {
    if (call.member == QLatin1StringView("GetAll") && call.signature == QLatin1StringView("s"))
        return {CallCheck::Verdict::AnswerAllProperties, {}, {}};

    const bool get =
        call.member == QLatin1StringView("Get") && call.signature == QLatin1StringView("ss");
    const bool set =
        call.member == QLatin1StringView("Set") && call.signature == QLatin1StringView("ssv");
    if (!get && !set) {
        return refuse(QDBusError::InvalidArgs,
                      QStringLiteral("%1 is not a property call").arg(describe(call)));
    }
    const QString interface = call.arguments.at(0).toString();
    const QString property = call.arguments.at(1).toString();
    const auto found = interfaces.constFind(interface);
    const QStringList declared = found == interfaces.cend() ? QStringList()
                                 : get                      ? found->readableProperties
                                                            : found->writableProperties;
    if (!declared.contains(property)) {
        return refuse(QDBusError::UnknownProperty,
                      QStringLiteral("%1.%2 cannot be %3 here")
                          .arg(interface, property,
                               get ? QStringLiteral("read") : QStringLiteral("written")));
    }
    return {};
}

CallCheck checkAccessibilityCall(const BusCall &call, const BusInterfaces &interfaces) {
    const auto interface = interfaces.constFind(call.interface);
    if (interface == interfaces.cend()) {
        return refuse(QDBusError::UnknownInterface,
                      QStringLiteral("%1 is not offered here").arg(call.interface));
    }
    const auto method = interface->methods.constFind(call.member);
    if (method == interface->methods.cend()) {
        // Getters the adaptor answers beside its declared methods (GetInterfaces, one per
        // property) take no arguments.
        if (call.member.startsWith(QLatin1StringView("Get")) && call.signature.isEmpty())
            return {};
        return refuse(QDBusError::UnknownMethod,
                      QStringLiteral("%1 is not offered here").arg(describe(call)));
    }
    if (call.signature != *method) {
        return refuse(QDBusError::InvalidArgs,
                      QStringLiteral("%1 expects the arguments (%2)").arg(describe(call), *method));
    }
    if (call.interface == ValueInterface && call.member == QLatin1StringView("SetCurrentValue"))
        return {CallCheck::Verdict::SetValueAsProperty, {}, {}};
    return {};
}

}  // namespace

BusCall BusCall::from(const QDBusMessage &message) {
    return {message.interface(), message.member(), message.signature(), message.arguments()};
}

CallCheck checkCall(const BusCall &call, const BusInterfaces &interfaces) {
    if (interfaces.isEmpty())
        return {};
    if (call.interface == PropertiesInterface)
        return checkPropertyCall(call, interfaces);
    if (call.interface.startsWith(AccessibilityPrefix))
        return checkAccessibilityCall(call, interfaces);
    return {};
}

}  // namespace pairwick::accessibility
