// SPDX-License-Identifier: GPL-3.0-or-later
// Which device each entry of the port list names.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "link/portmap.h"

using namespace pairwick::link;

class TestPortMap : public QObject {
    Q_OBJECT

private slots:
    void init();
    void defaultDevices_data();
    void defaultDevices();
    void linkInThePortMapWins();
    void danglingLinkStillNamesItself();
    void folderFollowsTheEnvironment();
    void portNumberFromEntry_data();
    void portNumberFromEntry();

private:
    QTemporaryDir m_ports;
};

void TestPortMap::init() {
    qputenv("PAIRWICK_PORTS", m_ports.path().toLocal8Bit());
    for (const QString &entry : QDir(m_ports.path()).entryList(QDir::System | QDir::Files))
        QFile::remove(m_ports.filePath(entry));
}

void TestPortMap::defaultDevices_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM4") << 4 << "/dev/ttyS3";
    QTest::newRow("COM5") << 5 << "/dev/ttyUSB0";
    QTest::newRow("COM12") << 12 << "/dev/ttyUSB7";
    QTest::newRow("COM13") << 13 << "/dev/ttyACM0";
    QTest::newRow("COM16") << 16 << "/dev/ttyACM3";
}

void TestPortMap::defaultDevices() {
    QFETCH(int, port);
    QFETCH(QString, device);
    QCOMPARE(devicePathForPort(port), device);
}

void TestPortMap::linkInThePortMapWins() {
    QFile target(m_ports.filePath(QStringLiteral("device")));
    QVERIFY(target.open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(target.fileName(), m_ports.filePath(QStringLiteral("com3"))));
    QCOMPARE(devicePathForPort(3), QFileInfo(target).canonicalFilePath());
    // Upper case is no link name of ours.
    QVERIFY(QFile::link(target.fileName(), m_ports.filePath(QStringLiteral("COM4"))));
    QCOMPARE(devicePathForPort(4), QStringLiteral("/dev/ttyS3"));
}

void TestPortMap::danglingLinkStillNamesItself() {
    const QString link = m_ports.filePath(QStringLiteral("com2"));
    QVERIFY(QFile::link(m_ports.filePath(QStringLiteral("gone")), link));
    QCOMPARE(devicePathForPort(2), link);
}

void TestPortMap::folderFollowsTheEnvironment() {
    QCOMPARE(portMapFolder(), m_ports.path());
    qunsetenv("PAIRWICK_PORTS");
    qputenv("XDG_CONFIG_HOME", "/tmp/config-home");
    QCOMPARE(portMapFolder(), QStringLiteral("/tmp/config-home/pairwick/ports"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(portMapFolder(), QDir::homePath() + QStringLiteral("/.config/pairwick/ports"));
}

void TestPortMap::portNumberFromEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("number");
    QTest::newRow("COM1") << "COM1" << 1;
    QTest::newRow("COM16") << "COM16" << 16;
    QTest::newRow("no number") << "COM" << 0;
    QTest::newRow("letters") << "COMx" << 0;
}

void TestPortMap::portNumberFromEntry() {
    QFETCH(QString, entry);
    QFETCH(int, number);
    QCOMPARE(pairwick::link::portNumberFromEntry(entry), number);
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
