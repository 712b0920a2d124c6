// SPDX-License-Identifier: GPL-3.0-or-later
// The guard in front of the toolkit's accessibility adaptor, over a private D-Bus daemon: a
// stand-in adaptor takes arguments by position as the toolkit's does, and a client calls it the
// way assistive technology would.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <optional>

#include "accessibility/accessibilitybusguard.h"
#include "patience.h"
#include "sampleintrospection.h"

using namespace pairwick::testing;
using pairwick::accessibility::AccessibilityBusGuard;

namespace {

const QString ObjectPath = AccessibilityBusGuard::AccessiblePath + QStringLiteral("/7");

// Stands in for the toolkit's adaptor: it answers Get and Set from a table, taking their
// arguments by position, and notes every call that reaches it.
class PositionalAdaptor final : public QDBusVirtualObject {
public:
    QString introspect(const QString &path) const override {
        return path.startsWith(AccessibilityBusGuard::AccessiblePath) ? SampleIntrospection
                                                                      : QString();
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override {
        received.append(message.interface() + u'.' + message.member() + u'(' + message.signature() +
                        u')');
        const QVariantList arguments = message.arguments();
        if (message.interface() != PropertiesInterface)
            return false;
        // The toolkit's adaptor reads these without counting them: reading past the end of the
        // list is what ended the program.
        if (arguments.size() < 2) {
            readPastTheEnd = true;
            return false;
        }
        const QString property = arguments.at(1).toString();
        if (message.member() == QLatin1StringView("Get") && values.contains(property)) {
            return connection.send(
                message.createReply(QVariant::fromValue(QDBusVariant(values.value(property)))));
        }
        if (message.member() == QLatin1StringView("Set") && arguments.size() == 3) {
            values.insert(property, qvariant_cast<QDBusVariant>(arguments.at(2)).variant());
            return connection.send(message.createReply());
        }
        return false;
    }

    QVariantMap values{{QStringLiteral("Name"), QStringLiteral("进度")},
                       {QStringLiteral("ChildCount"), 0},
                       {QStringLiteral("MaximumValue"), 100.0},
                       {QStringLiteral("CurrentValue"), 40.0}};
    QStringList received;
    bool readPastTheEnd = false;
};

QVariantMap propertiesIn(const QDBusMessage &reply) {
    QVariantMap properties;
    if (reply.arguments().size() == 1)
        reply.arguments().constFirst().value<QDBusArgument>() >> properties;
    return properties;
}

}  // namespace

class TestAccessibilityBus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void guardStandsInFrontOfTheAdaptorOnce();
    void nothingToGuardOnAConnectionWithoutAdaptor();
    void getAllIsAnsweredFromTheSingleProperties();
    void getAllOfEveryInterface();
    void getAllOfAnInterfaceNotOffered();
    void shortCallsNeverReachTheAdaptor_data();
    void shortCallsNeverReachTheAdaptor();
    void setCurrentValueBecomesAPropertySet();
    void wellFormedCallsPassThrough();

private:
    QDBusMessage callGuarded(const QString &interface, const QString &member,
                             const QVariantList &arguments) const;

    QProcess m_daemon;
    std::optional<QDBusConnection> m_service;
    std::optional<QDBusConnection> m_client;
    std::unique_ptr<PositionalAdaptor> m_adaptor;
};

// A session bus of the test's own, ended with the test.
void TestAccessibilityBus::initTestCase() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed (scripts/install-deps test installs it)");
    m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address=1")});
    QVERIFY2(m_daemon.waitForStarted(PatienceMs), qPrintable(m_daemon.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), PatienceMs);
    const QString address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    m_service = QDBusConnection::connectToBus(address, QStringLiteral("guarded"));
    m_client = QDBusConnection::connectToBus(address, QStringLiteral("assistive"));
    QVERIFY2(m_service->isConnected(), qPrintable(m_service->lastError().message()));
    QVERIFY2(m_client->isConnected(), qPrintable(m_client->lastError().message()));
}

void TestAccessibilityBus::cleanupTestCase() {
    m_service.reset();
    m_client.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("guarded"));
    QDBusConnection::disconnectFromBus(QStringLiteral("assistive"));
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
}

void TestAccessibilityBus::init() {
    m_adaptor = std::make_unique<PositionalAdaptor>();
    QVERIFY(m_service->registerVirtualObject(AccessibilityBusGuard::AccessiblePath, m_adaptor.get(),
                                             QDBusConnection::SubPath));
    QVERIFY(AccessibilityBusGuard::guard(*m_service));
}

void TestAccessibilityBus::cleanup() {
    m_service->unregisterObject(AccessibilityBusGuard::AccessiblePath);
    m_adaptor.reset();
}

QDBusMessage TestAccessibilityBus::callGuarded(const QString &interface, const QString &member,
                                               const QVariantList &arguments) const {
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_service->baseService(), ObjectPath, interface, member);
    call.setArguments(arguments);
    // The guard answers in this thread, so the wait keeps the event loop running.
    return m_client->call(call, QDBus::BlockWithGui, 5000);
}

void TestAccessibilityBus::guardStandsInFrontOfTheAdaptorOnce() {
    QObject *registered = m_service->objectRegisteredAt(AccessibilityBusGuard::AccessiblePath);
    auto *guard = qobject_cast<AccessibilityBusGuard *>(registered);
    QVERIFY(guard);
    QCOMPARE(guard->parent(), m_adaptor.get());
    QCOMPARE(guard->introspect(ObjectPath), SampleIntrospection);
    QVERIFY(AccessibilityBusGuard::guard(*m_service));
    QCOMPARE(m_service->objectRegisteredAt(AccessibilityBusGuard::AccessiblePath), registered);
}

void TestAccessibilityBus::nothingToGuardOnAConnectionWithoutAdaptor() {
    QVERIFY(!AccessibilityBusGuard::guard(*m_client));
    QVERIFY(!m_client->objectRegisteredAt(AccessibilityBusGuard::AccessiblePath));
    QVERIFY(!AccessibilityBusGuard::guard(QDBusConnection(QStringLiteral("no such connection"))));
}

void TestAccessibilityBus::getAllIsAnsweredFromTheSingleProperties() {
    const QDBusMessage reply =
        callGuarded(PropertiesInterface, QStringLiteral("GetAll"), {AccessibleInterface});
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(reply.signature(), QStringLiteral("a{sv}"));
    const QVariantMap expected{{QStringLiteral("Name"), QStringLiteral("进度")},
                               {QStringLiteral("ChildCount"), 0}};
    QCOMPARE(propertiesIn(reply), expected);
    QCOMPARE(m_adaptor->received, QStringList({PropertiesInterface + QStringLiteral(".Get(ss)"),
                                               PropertiesInterface + QStringLiteral(".Get(ss)")}));
    QVERIFY(!m_adaptor->readPastTheEnd);
}

void TestAccessibilityBus::getAllOfEveryInterface() {
    const QDBusMessage reply =
        callGuarded(PropertiesInterface, QStringLiteral("GetAll"), {QString()});
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    const QVariantMap properties = propertiesIn(reply);
    QCOMPARE(properties.keys(),
             QStringList({"ChildCount", "CurrentValue", "MaximumValue", "Name"}));
    QCOMPARE(properties.value(QStringLiteral("CurrentValue")).toDouble(), 40.0);
}

void TestAccessibilityBus::getAllOfAnInterfaceNotOffered() {
    const QDBusMessage reply =
        callGuarded(PropertiesInterface, QStringLiteral("GetAll"), {ComponentInterface});
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"));
    QVERIFY(!reply.errorMessage().isEmpty());
    QVERIFY(m_adaptor->received.isEmpty());
}

void TestAccessibilityBus::shortCallsNeverReachTheAdaptor_data() {
    QTest::addColumn<QString>("interface");
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariantList>("arguments");
    QTest::newRow("GetAll without a name") << PropertiesInterface << "GetAll" << QVariantList();
    QTest::newRow("Get short of the property")
        << PropertiesInterface << "Get" << QVariantList{AccessibleInterface};
    QTest::newRow("Set short of the value")
        << PropertiesInterface << "Set"
        << QVariantList{ValueInterface, QStringLiteral("CurrentValue")};
    QTest::newRow("method short of its argument")
        << AccessibleInterface << "GetChildAtIndex" << QVariantList();
    QTest::newRow("SetCurrentValue short of the value")
        << ValueInterface << "SetCurrentValue" << QVariantList();
}

void TestAccessibilityBus::shortCallsNeverReachTheAdaptor() {
    QFETCH(QString, interface);
    QFETCH(QString, member);
    QFETCH(QVariantList, arguments);
    const QDBusMessage reply = callGuarded(interface, member, arguments);
    QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    QVERIFY(m_adaptor->received.isEmpty());
    QVERIFY(!m_adaptor->readPastTheEnd);
}

// The toolkit reads this method's one argument where a property Set carries its value.
void TestAccessibilityBus::setCurrentValueBecomesAPropertySet() {
    const QDBusMessage reply =
        callGuarded(ValueInterface, QStringLiteral("SetCurrentValue"), {QVariant(70.0)});
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(m_adaptor->values.value(QStringLiteral("CurrentValue")).toDouble(), 70.0);
    QCOMPARE(m_adaptor->received, QStringList({PropertiesInterface + QStringLiteral(".Set(ssv)")}));
}

void TestAccessibilityBus::wellFormedCallsPassThrough() {
    const QDBusMessage reply = callGuarded(PropertiesInterface, QStringLiteral("Get"),
                                           {AccessibleInterface, QStringLiteral("Name")});
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(qvariant_cast<QDBusVariant>(reply.arguments().value(0)).variant(),
             QVariant(QStringLiteral("进度")));
    QCOMPARE(m_adaptor->received, QStringList({PropertiesInterface + QStringLiteral(".Get(ss)")}));
}

QTEST_MAIN(TestAccessibilityBus)
#include "tst_accessibilitybus.moc"
