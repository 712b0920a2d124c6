// SPDX-License-Identifier: GPL-3.0-or-later
// The words a user gets when a port will not open.
#include <unistd.h>
#include <QFile>
#include <QTest>

#include "link/openfailure.h"

using namespace pairwick::link;

Q_DECLARE_METATYPE(OpenFailureFacts)

class TestOpenFailure : public QObject {
    Q_OBJECT

private slots:
    void explanations_data();
    void explanations();
    void liveLockOwnerIsFound();
};

void TestOpenFailure::explanations_data() {
    QTest::addColumn<OpenFailureFacts>("facts");
    QTest::addColumn<QStringList>("mustSay");
    QTest::addColumn<QStringList>("mustNotSay");

    OpenFailureFacts plain;
    plain.device = QStringLiteral("/dev/ttyUSB0");
    plain.description = QStringLiteral("No such file or directory");
    QTest::newRow("missing device")
        << plain << QStringList{"No such file or directory", "/dev/ttyUSB0"}
        << QStringList{"权限", "锁文件"};

    OpenFailureFacts denied = plain;
    denied.description = QStringLiteral("Permission denied");
    denied.permissionDenied = true;
    denied.deviceGroup = QStringLiteral("dialout");
    QTest::newRow("no permission") << denied
                                   << QStringList{"没有权限", "dialout", "usermod -aG dialout",
                                                  "Permission denied", "/dev/ttyUSB0"}
                                   << QStringList{"锁文件"};

    OpenFailureFacts deniedOtherGroup = denied;
    deniedOtherGroup.deviceGroup = QStringLiteral("uucp");
    QTest::newRow("group from the device")
        << deniedOtherGroup << QStringList{"usermod -aG uucp"} << QStringList{"dialout"};

    OpenFailureFacts held = plain;
    held.description = QStringLiteral("Permission error while locking the device");
    held.lockFile = QStringLiteral("/var/lock/LCK..ttyUSB0");
    held.lockOwner = 4242;
    held.lockOwnerAlive = true;
    held.lockOwnerName = QStringLiteral("minicom");
    QTest::newRow("held by a live program")
        << held
        << QStringList{"正被其他程序", "4242 minicom", "/var/lock/LCK..ttyUSB0",
                       "Permission error while locking the device"}
        << QStringList{"sudo rm"};

    OpenFailureFacts stale = held;
    stale.lockOwnerAlive = false;
    stale.lockOwnerName.clear();
    QTest::newRow("stale lock left by sudo")
        << stale << QStringList{"sudo rm /var/lock/LCK..ttyUSB0", "锁文件"}
        << QStringList{"正被其他程序"};

    OpenFailureFacts busy = plain;
    busy.description = QStringLiteral("Device or resource busy");
    busy.busy = true;
    QTest::newRow("exclusive opener")
        << busy << QStringList{"独占", "Device or resource busy", "/dev/ttyUSB0"}
        << QStringList{"锁文件"};
}

void TestOpenFailure::explanations() {
    QFETCH(OpenFailureFacts, facts);
    QFETCH(QStringList, mustSay);
    QFETCH(QStringList, mustNotSay);
    const QString text = explainOpenFailure(facts);
    for (const QString &words : mustSay)
        QVERIFY2(text.contains(words), qPrintable(text + " lacks " + words));
    for (const QString &words : mustNotSay)
        QVERIFY2(!text.contains(words), qPrintable(text + " has " + words));
}

void TestOpenFailure::liveLockOwnerIsFound() {
    // A lock in the serial library's own format naming this very process.
    const QString device = QStringLiteral("/dev/pairwick-test-%1").arg(getpid());
    QString lockPath;
    for (const char *directory : {"/var/lock", "/tmp"}) {
        QFile lock(QStringLiteral("%1/LCK..pairwick-test-%2").arg(directory).arg(getpid()));
        if (lock.open(QIODevice::WriteOnly)) {
            lock.write(QByteArray::number(getpid()) + "\ntst_openfailure\nhost\n");
            lockPath = lock.fileName();
            break;
        }
    }
    QVERIFY(!lockPath.isEmpty());
    const OpenFailureFacts facts = gatherOpenFailureFacts(device, QStringLiteral("locked"));
    QFile::remove(lockPath);
    QCOMPARE(facts.lockFile, lockPath);
    QCOMPARE(facts.lockOwner, qint64(getpid()));
    QVERIFY(facts.lockOwnerAlive);
    QCOMPARE(facts.lockOwnerName, QStringLiteral("tst_openfailure"));
}

QTEST_GUILESS_MAIN(TestOpenFailure)
#include "tst_openfailure.moc"
