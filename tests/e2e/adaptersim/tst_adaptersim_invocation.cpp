// SPDX-License-Identifier: GPL-3.0-or-later
// How the simulator is started: where its links go, its switches, its help and its log.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTest>

#include <csignal>

#include "tst_adaptersim.h"

namespace pairwick::adaptersim::test {

void TestAdapterSim::portMapFolder_data() {
    QTest::addColumn<QStringList>("arguments");
    // NAME=value pairs; {tmp} stands for the test's own folder.
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("expectedLink");

    QTest::newRow("--ports-dir") << QStringList{"--ports-dir", "{tmp}/a"} << QStringList{}
                                 << "a/com1";
    QTest::newRow("--ports-dir before PAIRWICK_PORTS")
        << QStringList{"--ports-dir", "{tmp}/a"} << QStringList{"PAIRWICK_PORTS={tmp}/b"}
        << "a/com1";
    QTest::newRow("PAIRWICK_PORTS")
        << QStringList{} << QStringList{"PAIRWICK_PORTS={tmp}/b", "XDG_CONFIG_HOME={tmp}/x"}
        << "b/com1";
    QTest::newRow("XDG_CONFIG_HOME")
        << QStringList{} << QStringList{"XDG_CONFIG_HOME={tmp}/x"} << "x/pairwick/ports/com1";
    QTest::newRow("home without XDG_CONFIG_HOME")
        << QStringList{} << QStringList{"HOME={tmp}/h"} << "h/.config/pairwick/ports/com1";
    QTest::newRow("--port COM7") << QStringList{"--port", "COM7", "--ports-dir", "{tmp}"}
                                 << QStringList{} << "com7";
    QTest::newRow("--port in lower case")
        << QStringList{"--port", "com12", "--ports-dir", "{tmp}"} << QStringList{} << "com12";
}

void TestAdapterSim::portMapFolder() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(QString, expectedLink);
    const QString folder = m_folder->path();
    QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
    processEnvironment.remove(QStringLiteral("PAIRWICK_PORTS"));
    processEnvironment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    for (const QString &entry : environment) {
        const QString value = entry.section(QLatin1Char('='), 1);
        processEnvironment.insert(entry.section(QLatin1Char('='), 0, 0),
                                  QString(value).replace(QLatin1String("{tmp}"), folder));
    }
    arguments.replaceInStrings(QStringLiteral("{tmp}"), folder);
    m_simulator->setEnvironment(processEnvironment);

    QVERIFY(m_simulator->start(arguments));
    const QString link = QDir(folder).filePath(expectedLink);
    QCOMPARE(m_simulator->linkPath(), link);
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_simulator->devicePath());
    QVERIFY(m_port.open(link));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
}

void TestAdapterSim::existingEntry_data() {
    // An empty link target stands for a plain file in the link's place.
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("dangling link") << "/nonexistent/ttyUSB9" << true;
    QTest::newRow("link to a pseudo-terminal") << "/dev/pts/ptmx" << true;
    QTest::newRow("link to another device") << "/dev/null" << false;
    QTest::newRow("plain file") << QString() << false;
}

void TestAdapterSim::existingEntry() {
    QFETCH(QString, linkTarget);
    QFETCH(bool, replaced);
    if (linkTarget.startsWith(QLatin1String("/dev/")) && !QFileInfo::exists(linkTarget)) {
        QSKIP("the device this row links to is missing here");
    }
    const QString path = m_folder->filePath(QStringLiteral("com1"));
    if (linkTarget.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    } else {
        QVERIFY(QFile::link(linkTarget, path));
    }

    if (replaced) {
        QVERIFY(m_simulator->start(inFolder({})));
        QCOMPARE(QFileInfo(path).symLinkTarget(), m_simulator->devicePath());
        return;
    }
    QVERIFY(m_simulator->runToEnd(inFolder({})));
    QCOMPARE(m_simulator->exitCode(), 1);
    QVERIFY(m_simulator->standardError().contains(path.toLocal8Bit()));
    QVERIFY(!m_simulator->standardOutput().contains("ready"));
    if (linkTarget.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
    } else {
        QCOMPARE(QFileInfo(path).symLinkTarget(), linkTarget);
    }
}

void TestAdapterSim::badArguments_data() {
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("port not COMn") << QStringList{"--port", "LPT1"};
    QTest::newRow("port COM0") << QStringList{"--port", "COM0"};
    QTest::newRow("role 2") << QStringList{"--initial-role", "2"};
    QTest::newRow("negative flood") << QStringList{"--flood", "-5"};
    QTest::newRow("flood not a number") << QStringList{"--flood", "lots"};
    QTest::newRow("unknown switch") << QStringList{"--no-such-switch"};
    QTest::newRow("stray argument") << QStringList{"extra"};
    QTest::newRow("fault switch without command") << QStringList{"--silent-on"};
    QTest::newRow("negative reply delay") << QStringList{"--reply-delay", "-1"};
    QTest::newRow("reply delay not a number") << QStringList{"--reply-delay", "soon"};
    QTest::newRow("line rate 0") << QStringList{"--line-rate", "0"};
    QTest::newRow("line rate not a number") << QStringList{"--line-rate", "fast"};
    QTest::newRow("no adapters") << QStringList{"--adapters", "0"};
    QTest::newRow("adapters beyond COM9999") << QStringList{"--port", "COM9999", "--adapters", "2"};
    QTest::newRow("negative seed") << QStringList{"--chaos", "-1"};
    QTest::newRow("seed too large") << QStringList{"--chaos", "18446744073709551616"};
    QTest::newRow("chaos rate above 1") << QStringList{"--chaos", "1", "--chaos-rate", "1.5"};
    QTest::newRow("chaos rate not a number") << QStringList{"--chaos", "1", "--chaos-rate", "nan"};
    QTest::newRow("chaos rate without seed") << QStringList{"--chaos-rate", "0.5"};
    QTest::newRow("unknown chaos fault")
        << QStringList{"--chaos", "1", "--chaos-faults", "silent,meltdown"};
    QTest::newRow("unit switch without --units") << QStringList{"--start-empty"};
    QTest::newRow("negative first unit") << QStringList{"--units", "--first-unit", "-1"};
    QTest::newRow("first unit of nine digits")
        << QStringList{"--units", "--first-unit", "100000000"};
    QTest::newRow("unit settle not a number") << QStringList{"--units", "--unit-settle", "x"};
    QTest::newRow("unknown way to unplug") << QStringList{"--units", "--unplug", "yank"};
}

void TestAdapterSim::badArguments() {
    QFETCH(QStringList, arguments);

    QVERIFY(m_simulator->runToEnd(inFolder(arguments)));
    QCOMPARE(m_simulator->exitCode(), 2);
    QVERIFY(!m_simulator->standardError().isEmpty());
    QVERIFY(m_simulator->standardOutput().isEmpty());
    QVERIFY(QDir(m_folder->path()).isEmpty());
}

void TestAdapterSim::helpListsSwitchesAndFactoryState() {
    QVERIFY(m_simulator->runToEnd({QStringLiteral("--help")}));
    QCOMPARE(m_simulator->exitCode(), 0);
    const QByteArray help = m_simulator->standardOutput();
    for (const char *expected : {"--port",
                                 "--ports-dir",
                                 "--initial-role",
                                 "--name-gb18030",
                                 "--silent-on",
                                 "--lowercase-ok",
                                 "--no-echo",
                                 "--late-tail",
                                 "--wrong-token",
                                 "--garbage",
                                 "--error-on",
                                 "--vanish-on",
                                 "--flood",
                                 "--quiet",
                                 "--reply-delay",
                                 "--line-rate",
                                 "--adapters",
                                 "--chaos",
                                 "--chaos-rate",
                                 "--chaos-faults",
                                 "noise-burst",
                                 "--units",
                                 "--first-unit",
                                 "--unit-settle",
                                 "--start-empty",
                                 "--unplug",
                                 "next PORT",
                                 "unit in SERIAL ADDRESS",
                                 "unit mute SERIAL",
                                 "state FIELD=VALUE",
                                 "chaos FAULT on LINE",
                                 "PairwickSim",
                                 "SIM-1.2.0",
                                 "9600",
                                 "EN",
                                 "1234",
                                 "0A1B:2C:3D4E5F",
                                 "0000:00:000000"}) {
        QVERIFY2(help.contains(expected), expected);
    }
}

void TestAdapterSim::logLines_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("received and sent, escaped")
        << QStringList{} << QByteArrayList{"AT+VER?", "AT\x01\\"}
        << QStringList{R"(<- AT+VER?)", R"(-> AT+VER?\r\nSIM-1.2.0\r\nOK\r\n)", R"(<- AT\x01\\)",
                       R"(-> AT\x01\\\r\nERROR\r\n)"};
    QTest::newRow("state after set commands, none for an unchanged value")
        << QStringList{}
        << QByteArrayList{"AT+DEVICENAME=B\xC3\xBC", "AT+MSGENABLE=0", "AT+ROLE=0", "AT+PIN=4321"}
        << QStringList{R"(<- AT+DEVICENAME=B\xC3\xBC)",
                       R"(state name=B\xC3\xBC)",
                       R"(-> AT+DEVICENAME=B\xC3\xBC\r\nOK\r\n)",
                       "<- AT+MSGENABLE=0",
                       "state messages=DI",
                       R"(-> AT+MSGENABLE=0\r\nOK\r\n)",
                       "<- AT+ROLE=0",
                       R"(-> AT+ROLE=0\r\nOK\r\n)",
                       "<- AT+PIN=4321",
                       "state pin=4321",
                       R"(-> AT+PIN=4321\r\nOK\r\n)"};
    QTest::newRow("state after default: the changed fields only")
        << QStringList{"--initial-role", "1"} << QByteArrayList{"AT+BINDADDR0=1:2:3", "AT+DEFAULT"}
        << QStringList{"<- AT+BINDADDR0=1:2:3",
                       "state bind=1:2:3",
                       R"(-> AT+BINDADDR0=1:2:3\r\nOK\r\n)",
                       "<- AT+DEFAULT",
                       "state role=0",
                       "state bind=0000:00:000000",
                       R"(-> AT+DEFAULT\r\nOK\r\n)"};
}

void TestAdapterSim::logLines() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, commands);
    QFETCH(QStringList, lines);
    QVERIFY(startAndOpen(arguments));
    for (const QByteArray &command : commands) {
        QVERIFY(!m_port.exchange(command).isEmpty());
    }
    QVERIFY(m_simulator->sendSignal(SIGTERM));
    QVERIFY(m_simulator->waitForEnd());

    QCOMPARE(logged(m_simulator->standardOutput(), QString()),
             lines + QStringList{"stopping on signal 15"});
}

void TestAdapterSim::quietPrintsOnlyReady() {
    QVERIFY(startAndOpen({"--quiet"}));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    QVERIFY(m_simulator->sendSignal(SIGTERM));
    QVERIFY(m_simulator->waitForEnd());

    const QString ready =
        QStringLiteral("ready %1 -> %2\n").arg(m_simulator->linkPath(), m_simulator->devicePath());
    QCOMPARE(QString::fromLocal8Bit(m_simulator->standardOutput()), ready);
}

}  // namespace pairwick::adaptersim::test
