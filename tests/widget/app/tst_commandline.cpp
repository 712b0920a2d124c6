// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line, run as a user runs it: without a display for help and version.
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
    // What standard output and standard error must hold; an empty entry means nothing at all.
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QStringList>("err");

    const QStringList help{"Usage: pairwick [options]", "--language <LANG>", "--version"};
    const QStringList usage = QStringList{"Usage: pairwick [options]"};
    const QStringList version{QStringLiteral("pairwick " PAIRWICK_VERSION "\n")};
    QTest::newRow("--help") << QStringList{"--help"} << 0 << help << QStringList();
    QTest::newRow("-h") << QStringList{"-h"} << 0 << help << QStringList();
    QTest::newRow("--version") << QStringList{"--version"} << 0 << version << QStringList();
    QTest::newRow("English, then help")
        << QStringList{"--language", "en", "--help"} << 0 << help << QStringList();
    QTest::newRow("zh_CN, then version")
        << QStringList{"--language=zh_CN", "--version"} << 0 << version << QStringList();
    QTest::newRow("unknown option")
        << QStringList{"--colour"} << 2 << QStringList() << (QStringList{"'colour'"} + usage);
    QTest::newRow("Qt's own option")
        << QStringList{"-platform", "offscreen"} << 2 << QStringList() << usage;
    QTest::newRow("stray argument")
        << QStringList{"COM3"} << 2 << QStringList() << (QStringList{"'COM3'"} + usage);
    QTest::newRow("unknown language") << QStringList{"--language", "fr"} << 2 << QStringList()
                                      << (QStringList{"'fr'", "zh, zh_CN, en"} + usage);
    QTest::newRow("language without value")
        << QStringList{"--language"} << 2 << QStringList() << usage;
    QTest::newRow("bad option beats help")
        << QStringList{"--help", "--colour"} << 2 << QStringList() << usage;
}

void TestCommandLine::endsBeforeAnyWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, out);
    QFETCH(QStringList, err);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(display));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PAIRWICK_PROGRAM), arguments);
    QVERIFY2(program.waitForFinished(20000), "the program did not end");
    const QString stdOut = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(program.readAllStandardError());

    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == status, qPrintable(stdErr));
    for (const auto &[stream, expected] : {std::pair{stdOut, out}, std::pair{stdErr, err}}) {
        if (expected.isEmpty())
            QVERIFY2(stream.isEmpty(), qPrintable(stream));
        for (const QString &part : expected)
            QVERIFY2(stream.contains(part),
                     qPrintable(part + QStringLiteral(" not in:\n") + stream));
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
