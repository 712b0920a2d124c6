// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line, run as a user runs it, without a display.
#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void endsBeforeAnyWindow_data();
    void endsBeforeAnyWindow();
};

void TestCommandLine::endsBeforeAnyWindow_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // What the stream the text belongs to must hold; the other stream stays empty.
    QTest::addColumn<QStringList>("text");
    const QString window = QStringLiteral(PAIRWICK_PROGRAM);
    const QString usage = QStringLiteral("Usage: pairwick [options]");
    QTest::newRow("help") << window << QStringList{"--help"} << 0
                          << QStringList{usage, "--language <LANG>"};
    QTest::newRow("version") << window << QStringList{"--version"} << 0
                             << QStringList{"pairwick " PAIRWICK_VERSION};
    QTest::newRow("language, help")
        << window << QStringList{"--language=zh_CN", "-h"} << 0 << QStringList{usage};
    QTest::newRow("unknown option")
        << window << QStringList{"-platform", "xcb"} << 2 << QStringList{"Unknown option", usage};
    QTest::newRow("stray argument")
        << window << QStringList{"COM3"} << 2 << QStringList{"'COM3'", usage};
    QTest::newRow("unknown language")
        << window << QStringList{"--language", "fr"} << 2 << QStringList{"zh, zh_CN, en", usage};
    QTest::newRow("log that cannot be written")
        << window << QStringList{"--log", "/nonexistent/pairwick.log"} << 2
        << QStringList{"/nonexistent/pairwick.log"};
    QTest::newRow("no language") << window << QStringList{"--help", "--language"} << 2
                                 << QStringList{usage};

    // The station window takes the station's options; a field's fault is shown in the window.
    const QString station = QStringLiteral(PAIRWICK_STATION_PROGRAM);
    const QString stationUsage = QStringLiteral("Usage: pairwick-station [options] [SLOT...]");
    QTest::newRow("station help") << station << QStringList{"--help"} << 0
                                  << QStringList{stationUsage,      "--start",
                                                 "--on-pass <CMD>", "--printer <DEST>",
                                                 "{random:N}",      "postgresql://"};
    QTest::newRow("station version") << station << QStringList{"--version"} << 0
                                     << QStringList{"pairwick-station " PAIRWICK_VERSION};
    QTest::newRow("station, unknown option")
        << station << QStringList{"--json"} << 2 << QStringList{"Unknown option", stationUsage};
    QTest::newRow("station, unknown language")
        << station << QStringList{"-l", "de", "COM1"} << 2 << QStringList{"zh, zh_CN, en"};
    QTest::newRow("station, log that cannot be written")
        << station << QStringList{"--log", "/nonexistent/station.log", "COM1"} << 2
        << QStringList{"/nonexistent/station.log"};
    QTest::newRow("station, copies out of range")
        << station << QStringList{"--label-copies", "0", "COM1"} << 2
        << QStringList{"--label-copies takes 1 to 100, not 0", stationUsage};
}

void TestCommandLine::endsBeforeAnyWindow() {
    QFETCH(QString, executable);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, text);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(display));
    program.setProcessEnvironment(environment);
    program.start(executable, arguments);
    QVERIFY2(program.waitForFinished(20000), "the program did not end");
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    QCOMPARE((status == 0 ? err : out), QString());
    for (const QString &part : text)
        QVERIFY2((status == 0 ? out : err).contains(part), qPrintable(out + err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
