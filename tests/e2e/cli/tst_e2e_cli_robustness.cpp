// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input, an unwritable log, an interrupt and a flood: nothing is sent or kept beyond need.
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "patience.h"
#include "tst_e2e_cli.h"

namespace {

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed memory in quarantine (256 MiB at most) before reusing it.
constexpr long FloodGrowthBoundKiB = 320 * 1024;
#else
constexpr long FloodGrowthBoundKiB = 1024;
#endif

}  // namespace

void TestE2eCli::badInputSendsNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("message");

    const QStringList write{"write", "COM1"};
    QTest::newRow("unknown key") << write + QStringList{"--set", "colour=red"} << QString()
                                 << "colour=red";
    QTest::newRow("baud outside its list")
        << write + QStringList{"--set", "baud=9601"} << QString() << "must be one of 1200";
    QTest::newRow("name too long") << write + QStringList{"--set", "name=abcdefghijklmnopqrstu"}
                                   << QString() << "at most 20 characters";
    QTest::newRow("pin too long") << write + QStringList{"--set", "pin=12345678901"} << QString()
                                  << "at most 10 characters";
    QTest::newRow("bind with role slave")
        << write + QStringList{"--set", "role=slave", "--set", "bind=0011:22:334455"} << QString()
        << "master role";
    QTest::newRow("read-only key")
        << write + QStringList{"--set", "version=2"} << QString() << "read-only";
    QTest::newRow("line break in a profile") << write << R"({"name": "two\nlines"})"
                                             << "line break";
    QTest::newRow("unknown key in a profile") << write << R"({"colour": "red"})"
                                              << "unknown key \"colour\"";
    QTest::newRow("profile that is no JSON") << write << "name=x"
                                             << "not valid JSON";
    QTest::newRow("profile that never ends")
        << write + QStringList{"--profile", "/dev/zero"} << QString() << "/dev/zero: larger than";
    QTest::newRow("profile of 2 MiB")
        << write << QString(2 * 1024 * 1024, u' ') << "profile.json: larger than";
    QTest::newRow("timeout out of range")
        << QStringList{"read", "COM1", "--timeout", "0"} << QString() << "--timeout";
    QTest::newRow("no port") << QStringList{"read"} << QString() << "at least one PORT";
    QTest::newRow("unknown command")
        << QStringList{"erase", "COM1"} << QString()
        << "'erase'; the commands are ports, read, write, reset, pair, station, ledger";
    QTest::newRow("pair of one port") << QStringList{"pair", "COM1"} << QString() << "two ports";
    QTest::newRow("pair of a port with itself")
        << QStringList{"pair", "COM1", "com1"} << QString() << "the same port";
    QTest::newRow("pair, a role of its own")
        << QStringList{"pair", "COM1", "COM2", "--set", "role=master"} << QString()
        << "--set role=master: pair takes baud, parity, stop and messages";
    QTest::newRow("pair, PIN too long")
        << QStringList{"pair", "COM1", "COM2", "--pin", "12345678901"} << QString()
        << "at most 10 characters";
    QTest::newRow("log in a missing folder")
        << QStringList{"read", "COM1", "--log", "/nonexistent/wire.log"} << QString()
        << "/nonexistent/wire.log";
}

void TestE2eCli::badInputSendsNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, profile);
    QFETCH(QString, message);
    adapter("COM1");
    if (!profile.isNull()) {
        QFile file(m_folder->filePath("profile.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(profile.toUtf8());
        file.close();
        arguments << "--profile" << file.fileName();
    }
    const CliRun result = run(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.errors.contains(message.toUtf8()), result.errors.constData());
    QVERIFY(result.output.isEmpty());
    QTest::qWait(100);
    QCOMPARE(received("COM1"), QStringList());
}

// A wire log on a full device: the port is still read, the failure is told once, and the status
// is no longer success.
void TestE2eCli::unwritableLogIsReported() {
    adapter("COM1");
    const CliRun result = run({"read", "COM1", "--log", "/dev/full", "--json", "--quiet"});
    QCOMPARE(result.status, 1);
    QVERIFY(portResult(result, "COM1").value("ok").toBool());
    // The reason is the system's, in the user's language.
    QVERIFY2(result.errors.startsWith("pairwick-cli: the wire log /dev/full cannot be written: ") &&
                 result.errors.count('\n') == 1,
             result.errors.constData());
    QVERIFY(received("COM1").contains("AT+PIN?"));
}

// Ctrl-C in the middle of a paced write: the port stops at its next step and is released.
void TestE2eCli::interruptSendsNothingMore() {
    SimulatorProcess &simulator = adapter("COM1");
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH),
                  {"write", "COM1", "--paced", "--set", "pin=4321", "--quiet"});
    QTRY_VERIFY_WITH_TIMEOUT(received("COM1").size() >= 3, PatienceMs);
    ::kill(pid_t(process.processId()), SIGINT);
    const qsizetype sentAtSignal = received("COM1").size();
    QVERIFY(process.waitForFinished(PatienceMs));
    QCOMPARE(process.exitCode(), 130);
    QTest::qWait(1500);
    QVERIFY2(received("COM1").size() <= sentAtSignal + 1, qPrintable(received("COM1").join(", ")));
    QVERIFY(!received("COM1").contains("AT+PIN=4321"));
    QVERIFY(simulator.isRunning());
    QCOMPARE(run({"read", "COM1", "--quiet"}).status, 0);
}

// An adapter that floods the line with 10 MB of noise half a second into a paced read: the run
// ends with a result, and the noise it reads through is dropped, not kept.
void TestE2eCli::floodIsReadAndDropped() {
    // A name stored in GB18030 makes the quiet run load that decoder too, as noise does.
    adapter("COM1", {"--name-gb18030"});
    SimulatorProcess &flooding = adapter("COM2", {"--flood", "10000000"});
    const CliRun quiet = run({"read", "COM1", "--paced", "--json", "--quiet"});
    const CliRun flooded = run({"read", "COM2", "--paced", "--json", "--quiet"});
    QCOMPARE(quiet.status, 0);
    QCoreApplication::processEvents();
    QVERIFY(flooding.standardOutput().contains("flooding 10000000 bytes"));
    // Whether a step drowns depends on how fast the noise is read through.
    const QJsonObject port = portResult(flooded, "COM2");
    if (flooded.status == 0) {
        QCOMPARE(port.value("settings").toObject().value("name").toString(), "PairwickSim");
    } else {
        QCOMPARE(flooded.status, 1);
        QVERIFY2(port.value("error").toString().contains("incomplete reply"),
                 qPrintable(port.value("error").toString()));
    }
    qInfo("peak resident memory: %ld KiB without the flood, %ld KiB with it", quiet.peakResidentKiB,
          flooded.peakResidentKiB);
    QVERIFY(quiet.peakResidentKiB > 0);
    const long growth = flooded.peakResidentKiB - quiet.peakResidentKiB;
    QVERIFY2(growth < FloodGrowthBoundKiB, qPrintable(QString::number(growth)));
}
