// SPDX-License-Identifier: GPL-3.0-or-later
// The real port class on a pseudo-terminal whose other side the test holds.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "link/commport.h"
#include "link/porterror.h"

using namespace pairwick::link;

namespace {

// The adapter's end of the line.
class FarEnd {
public:
    FarEnd() {
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&m_master, &m_slave, m_name, &raw, nullptr) != 0)
            qFatal("no pseudo-terminal");
    }
    ~FarEnd() {
        hangUp();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    QString device() const { return QString::fromLocal8Bit(m_name); }
    void send(const QByteArray &bytes) const {
        QVERIFY(::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size());
    }
    // What arrived without waiting for anything but the bytes themselves.
    QByteArray receive() const {
        QByteArray received;
        pollfd ready{m_master, POLLIN, 0};
        while (poll(&ready, 1, 200) > 0) {
            char buffer[256];
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0)
                break;
            received.append(buffer, count);
        }
        return received;
    }
    void hangUp() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    termios lineSettings() const {
        termios settings{};
        tcgetattr(m_slave, &settings);
        return settings;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    char m_name[128] = {};
};

void settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
}

}  // namespace

class TestCommPort : public QObject {
    Q_OBJECT

private slots:
    void init();
    void opensAtTheFixedLineSettings();
    void writtenLineLeavesAtOnceAsUtf8();
    void readsDecodeWhatArrived();
    void discardDropsEvenWhatTheSystemHolds();
    void vanishedDeviceClosesOnceAndReportsOnce();
    void missingDeviceIsAPortError();

private:
    bool openOnCom1(CommPort &port, const FarEnd &far) {
        if (!linkAs("com1", far.device()))
            return false;
        port.open(1);
        return port.isOpen();
    }
    bool linkAs(const char *name, const QString &device) {
        QFile::remove(m_ports.filePath(name));
        return QFile::link(device, m_ports.filePath(name));
    }

    QTemporaryDir m_ports;
};

void TestCommPort::init() {
    qputenv("PAIRWICK_PORTS", m_ports.path().toLocal8Bit());
}

void TestCommPort::opensAtTheFixedLineSettings() {
    FarEnd far;
    QVERIFY(linkAs("com7", far.device()));
    CommPort port;
    QCOMPARE(port.objectName(), QStringLiteral("MSComm1"));
    port.open(7);
    QVERIFY(port.isOpen());
    const termios settings = far.lineSettings();
    QCOMPARE(cfgetospeed(&settings), speed_t(B9600));
    QCOMPARE(cfgetispeed(&settings), speed_t(B9600));
    QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(settings.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(settings.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(settings.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(settings.c_iflag & (IXON | IXOFF), tcflag_t(0));
    port.close();
    QVERIFY(!port.isOpen());
}

void TestCommPort::writtenLineLeavesAtOnceAsUtf8() {
    FarEnd far;
    CommPort port;
    QVERIFY(openOnCom1(port, far));
    port.write(QStringLiteral("AT+DEVICENAME=蓝牙\r\n"));
    // No event loop has run: the bytes must already be on the line.
    QCOMPARE(far.receive(), QByteArray("AT+DEVICENAME=\xe8\x93\x9d\xe7\x89\x99\r\n"));
}

void TestCommPort::readsDecodeWhatArrived() {
    FarEnd far;
    CommPort port;
    QVERIFY(openOnCom1(port, far));
    far.send("AT\r\nOK\r\n\xe8\x93");
    settle();
    QCOMPARE(port.readAll(), QStringLiteral("AT\r\nOK\r\n"));
    far.send("\x9d");
    settle();
    QCOMPARE(port.readAll(), QStringLiteral("蓝"));
    QCOMPARE(port.readAll(), QString());
}

void TestCommPort::discardDropsEvenWhatTheSystemHolds() {
    FarEnd far;
    CommPort port;
    QVERIFY(openOnCom1(port, far));
    far.send("taken in");
    settle();
    far.send("still in the system");
    port.discardInput();
    settle();
    QCOMPARE(port.readAll(), QString());
}

void TestCommPort::vanishedDeviceClosesOnceAndReportsOnce() {
    FarEnd far;
    QVERIFY(linkAs("com1", far.device()));
    CommPort port;
    QSignalSpy lost(&port, &SerialPort::deviceLost);
    port.open(1);
    far.hangUp();
    settle();
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port.isOpen());
    const QString message = lost.first().first().toString();
    QVERIFY2(message.contains(far.device()), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("Unknown error")), qPrintable(message));
    try {
        port.write(QStringLiteral("AT\r\n"));
        QFAIL("a write to a vanished device must fail");
    } catch (const PortError &fault) {
        QCOMPARE(fault.message(), message);
    }
    QCOMPARE(lost.count(), 1);
}

void TestCommPort::missingDeviceIsAPortError() {
    QVERIFY(linkAs("com9", m_ports.filePath("nothing")));
    CommPort port;
    try {
        port.open(9);
        QFAIL("opening a missing device must fail");
    } catch (const PortError &fault) {
        QVERIFY2(fault.description().contains(QStringLiteral("No such file")),
                 qPrintable(fault.description()));
        QCOMPARE(fault.devicePath(), m_ports.filePath("com9"));
    }
    QVERIFY(!port.isOpen());
}

QTEST_MAIN(TestCommPort)
#include "tst_commport.moc"
