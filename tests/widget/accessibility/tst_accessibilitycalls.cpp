// SPDX-License-Identifier: GPL-3.0-or-later
// Which calls from assistive technology may reach the toolkit's accessibility adaptor, read
// against what the object called declares in its introspection.
#include <QDBusVariant>
#include <QTest>

#include "accessibility/accessibilitycallcheck.h"
#include "accessibility/accessibilityinterfaces.h"
#include "sampleintrospection.h"

using namespace pairwick::testing;
using pairwick::accessibility::BusInterfaces;
using pairwick::accessibility::CallCheck;
using pairwick::accessibility::checkCall;
using pairwick::accessibility::parseIntrospection;

Q_DECLARE_METATYPE(CallCheck::Verdict)

class TestAccessibilityCalls : public QObject {
    Q_OBJECT

private slots:
    void introspectionIsRead();
    void malformedIntrospectionDeclaresNothing_data();
    void malformedIntrospectionDeclaresNothing();
    void calls_data();
    void calls();
    void unknownObjectsAreLeftToTheAdaptor();
};

void TestAccessibilityCalls::introspectionIsRead() {
    const BusInterfaces interfaces = parseIntrospection(SampleIntrospection);
    QCOMPARE(interfaces.size(), 2);
    const auto accessible = interfaces.value(AccessibleInterface);
    QCOMPARE(accessible.methods.size(), 2);
    QCOMPARE(accessible.methods.value(QStringLiteral("GetChildAtIndex")), QStringLiteral("i"));
    QVERIFY(accessible.methods.contains(QStringLiteral("GetChildren")));
    QCOMPARE(accessible.methods.value(QStringLiteral("GetChildren")), QString());
    QCOMPARE(accessible.readableProperties, QStringList({"Name", "ChildCount"}));
    QVERIFY(accessible.writableProperties.isEmpty());
    const auto value = interfaces.value(ValueInterface);
    QCOMPARE(value.readableProperties, QStringList({"MaximumValue", "CurrentValue"}));
    QCOMPARE(value.writableProperties, QStringList({"CurrentValue"}));
    QCOMPARE(value.methods.value(QStringLiteral("SetCurrentValue")), QStringLiteral("d"));
}

void TestAccessibilityCalls::malformedIntrospectionDeclaresNothing_data() {
    QTest::addColumn<QString>("xml");
    QTest::newRow("empty") << QString();
    QTest::newRow("cut short") << QStringLiteral("<interface name=\"a\"><method");
    QTest::newRow("unbalanced") << QStringLiteral("</node><node>");
    QTest::newRow("not XML") << QStringLiteral("interface a { }");
}

void TestAccessibilityCalls::malformedIntrospectionDeclaresNothing() {
    QFETCH(QString, xml);
    QVERIFY(parseIntrospection(xml).isEmpty());
}

void TestAccessibilityCalls::calls_data() {
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<CallCheck::Verdict>("verdict");
    QTest::addColumn<QString>("error");

    using Verdict = CallCheck::Verdict;
    const QVariant value = QVariant::fromValue(QDBusVariant(1.0));
    const QString properties = PropertiesInterface;
    const QString accessible = AccessibleInterface;
    const auto row = [](const char *name, const QString &interface, const char *member,
                        const char *signature, const QVariantList &arguments, Verdict verdict,
                        const char *error = "") {
        QTest::newRow(name) << interface << QString::fromLatin1(member)
                            << QString::fromLatin1(signature) << arguments << verdict
                            << (*error ? QStringLiteral("org.freedesktop.DBus.Error.") +
                                             QString::fromLatin1(error)
                                       : QString());
    };
    row("GetAll of one interface", properties, "GetAll", "s", {accessible},
        Verdict::AnswerAllProperties);
    row("GetAll of every interface", properties, "GetAll", "s", {QString()},
        Verdict::AnswerAllProperties);
    row("GetAll without a name", properties, "GetAll", "", {}, Verdict::Refuse, "InvalidArgs");
    row("Get", properties, "Get", "ss", {accessible, "Name"}, Verdict::Forward);
    row("Get short of the property", properties, "Get", "s", {accessible}, Verdict::Refuse,
        "InvalidArgs");
    row("Get of an undeclared property", properties, "Get", "ss", {accessible, "Extents"},
        Verdict::Refuse, "UnknownProperty");
    row("Get on an interface not offered", properties, "Get", "ss", {ComponentInterface, "Extents"},
        Verdict::Refuse, "UnknownProperty");
    row("Set", properties, "Set", "ssv", {ValueInterface, "CurrentValue", value}, Verdict::Forward);
    row("Set short of the value", properties, "Set", "ss", {ValueInterface, "CurrentValue"},
        Verdict::Refuse, "InvalidArgs");
    row("Set of a read-only property", properties, "Set", "ssv", {accessible, "Name", value},
        Verdict::Refuse, "UnknownProperty");
    row("another Properties member", properties, "Watch", "s", {accessible}, Verdict::Refuse,
        "InvalidArgs");
    row("declared method", accessible, "GetChildAtIndex", "i", {0}, Verdict::Forward);
    row("declared method short of its argument", accessible, "GetChildAtIndex", "", {},
        Verdict::Refuse, "InvalidArgs");
    row("declared method with the wrong type", accessible, "GetChildAtIndex", "s", {"0"},
        Verdict::Refuse, "InvalidArgs");
    row("declared method without arguments", accessible, "GetChildren", "", {}, Verdict::Forward);
    row("undeclared getter", accessible, "GetInterfaces", "", {}, Verdict::Forward);
    row("undeclared getter with arguments", accessible, "GetInterfaces", "i", {1}, Verdict::Refuse,
        "UnknownMethod");
    row("undeclared setter", accessible, "SetName", "", {}, Verdict::Refuse, "UnknownMethod");
    row("interface not offered", ComponentInterface, "Contains", "", {}, Verdict::Refuse,
        "UnknownInterface");
    row("SetCurrentValue", ValueInterface, "SetCurrentValue", "d", {2.0},
        Verdict::SetValueAsProperty);
    row("SetCurrentValue short of the value", ValueInterface, "SetCurrentValue", "", {},
        Verdict::Refuse, "InvalidArgs");
    row("introspection", QStringLiteral("org.freedesktop.DBus.Introspectable"), "Introspect", "",
        {}, Verdict::Forward);
    row("no interface", QString(), "GetAll", "s", {accessible}, Verdict::Forward);
}

void TestAccessibilityCalls::calls() {
    QFETCH(QString, interface);
    QFETCH(QString, member);
    QFETCH(QString, signature);
    QFETCH(QVariantList, arguments);
    QFETCH(CallCheck::Verdict, verdict);
    QFETCH(QString, error);
    const CallCheck check = checkCall({interface, member, signature, arguments},
                                      parseIntrospection(SampleIntrospection));
    QCOMPARE(check.verdict, verdict);
    QCOMPARE(check.errorName, error);
    // A refusal says what was wrong; the caller sees it as the error's text.
    QCOMPARE(check.errorMessage.isEmpty(), error.isEmpty());
}

// The adaptor answers a path it does not know before it looks at any argument.
void TestAccessibilityCalls::unknownObjectsAreLeftToTheAdaptor() {
    const CallCheck check =
        checkCall({AccessibleInterface, QStringLiteral("GetChildAtIndex"), {}, {}}, {});
    QCOMPARE(check.verdict, CallCheck::Verdict::Forward);
}

QTEST_MAIN(TestAccessibilityCalls)
#include "tst_accessibilitycalls.moc"
