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
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    // What the stream the text belongs to must hold; the other stream stays empty.
    QTest::addColumn<QStringList>("text");
    const QString usage = QStringLiteral("Usage: pairwick [options]");
    QTest::newRow("help") << QStringList{"--help"} << 0 << QStringList{usage, "--language <LANG>"};
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QStringList{"pairwick " PAIRWICK_VERSION};
    QTest::newRow("language, help")
        << QStringList{"--language=zh_CN", "-h"} << 0 << QStringList{usage};
    QTest::newRow("unknown option")
        << QStringList{"-platform", "xcb"} << 2 << QStringList{"Unknown option", usage};
    QTest::newRow("stray argument") << QStringList{"COM3"} << 2 << QStringList{"'COM3'", usage};
    QTest::newRow("unknown language")
        << QStringList{"--language", "fr"} << 2 << QStringList{"zh, zh_CN, en", usage};
    QTest::newRow("log that cannot be written") << QStringList{"--log", "/nonexistent/pairwick.log"}
                                                << 2 << QStringList{"/nonexistent/pairwick.log"};
    QTest::newRow("no language") << QStringList{"--help", "--language"} << 2 << QStringList{usage};
}

void TestCommandLine::endsBeforeAnyWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, text);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(display));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PAIRWICK_PROGRAM), arguments);
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
