// SPDX-License-Identifier: GPL-3.0-or-later
// Which entry of a folder of stable names leads to a given device.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "link/stablename.h"

using pairwick::link::stableDeviceName;

class TestStableName : public QObject {
    Q_OBJECT

private slots:
    void findsTheEntryOfTheSameDevice_data();
    void findsTheEntryOfTheSameDevice();
};

void TestStableName::findsTheEntryOfTheSameDevice_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");

    // Relative to the temporary folder: devices ttyA and ttyB, a port-map link com3 to ttyB,
    // and in by-path one entry for each of them plus a dangling one.
    QTest::newRow("the device itself") << "ttyB"
                                       << "by-path"
                                       << "by-path/socket-2";
    QTest::newRow("through a port-map link") << "com3"
                                             << "by-path"
                                             << "by-path/socket-2";
    QTest::newRow("another device") << "ttyA"
                                    << "by-path"
                                    << "by-path/socket-1";
    QTest::newRow("no entry leads there") << "ttyC"
                                          << "by-path"
                                          << "";
    QTest::newRow("the device is gone") << "gone"
                                        << "by-path"
                                        << "";
    QTest::newRow("no such folder") << "ttyB"
                                    << "by-id"
                                    << "";
}

void TestStableName::findsTheEntryOfTheSameDevice() {
    QFETCH(QString, device);
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString name : {"ttyA", "ttyB", "ttyC"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(dir.mkdir("by-path"));
    QVERIFY(QFile::link(dir.filePath("ttyB"), dir.filePath("com3")));
    QVERIFY(QFile::link(dir.filePath("gone"), dir.filePath("by-path/socket-0")));
    QVERIFY(QFile::link(dir.filePath("ttyA"), dir.filePath("by-path/socket-1")));
    QVERIFY(QFile::link(dir.filePath("com3"), dir.filePath("by-path/socket-2")));
    QCOMPARE(stableDeviceName(dir.filePath(device), dir.filePath(folder)),
             expected.isEmpty() ? QString() : dir.filePath(expected));
}

QTEST_GUILESS_MAIN(TestStableName)
#include "tst_stablename.moc"
