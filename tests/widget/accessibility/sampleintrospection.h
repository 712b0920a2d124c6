// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pairwick::testing {

inline const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
inline const QString AccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
inline const QString ValueInterface = QStringLiteral("org.a11y.atspi.Value");
inline const QString ComponentInterface = QStringLiteral("org.a11y.atspi.Component");

// One object as the toolkit's adaptor introspects it: bare interface fragments, here a progress
// bar's two interfaces cut short.
inline const QString SampleIntrospection = QStringLiteral(R"xml(
  <interface name="org.a11y.atspi.Accessible">
    <property access="read" type="s" name="Name"/>
    <property access="read" type="i" name="ChildCount"/>
    <method name="GetChildAtIndex">
      <arg direction="in" type="i" name="index"/>
      <arg direction="out" type="(so)"/>
    </method>
    <method name="GetChildren">
      <arg direction="out" type="a(so)"/>
    </method>
  </interface>
  <interface name="org.a11y.atspi.Value">
    <property access="read" type="d" name="MaximumValue"/>
    <property access="readwrite" type="d" name="CurrentValue"/>
    <method name="SetCurrentValue">
      <arg direction="in" type="d" name="value"/>
    </method>
  </interface>
)xml");

}  // namespace pairwick::testing
