// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-cli as a script runs it, against simulated adapters on pseudo-terminals.
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <map>
#include <memory>

#include "patience.h"
#include "simulatorprocess.h"

using pairwick::adaptersim::test::SimulatorProcess;

namespace {

struct CliRun {
    int status = -1;
    QJsonArray ports;
    QByteArray output;
    QByteArray errors;
    // The most resident memory the program held, in KiB, as sampled while it ran.
    long peakResidentKiB = -1;
};

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer keeps freed memory in quarantine (256 MiB at most) before reusing it.
constexpr long FloodGrowthBoundKiB = 320 * 1024;
#else
constexpr long FloodGrowthBoundKiB = 1024;
#endif

long peakResidentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s+(\\d+)"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

}  // namespace

class TestE2eCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void portsListsEveryName();
    void portsFailIndependently();
    void failedOpenIsToldAtOnce();
    void profileClonesAnAdapter();
    void completionFollowsTheLayout_data();
    void completionFollowsTheLayout();
    void badInputSendsNothing_data();
    void badInputSendsNothing();
    void unwritableLogIsReported();
    void interruptSendsNothingMore();
    void floodIsReadAndDropped();
    void pairBindsMasterToSlave();
    void pairFailureTellsWhatEachHolds();

private:
    // count adapters from port on, in one simulator.
    SimulatorProcess &adapter(const QString &port, const QStringList &switches = {}, int count = 1);
    QProcessEnvironment environment() const;
    CliRun run(const QStringList &arguments);
    QStringList received(const QString &port);
    QStringList setCommands(const QString &port);
    static QJsonObject portResult(const CliRun &run, const QString &port);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::map<QString, std::unique_ptr<SimulatorProcess>> m_adapters;
};

void TestE2eCli::init() {
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestE2eCli::cleanup() {
    m_adapters.clear();
    m_folder.reset();
}

SimulatorProcess &TestE2eCli::adapter(const QString &port, const QStringList &switches, int count) {
    auto &simulator = m_adapters[port];
    simulator = std::make_unique<SimulatorProcess>();
    const QStringList arguments{
        "--port", port, "--adapters", QString::number(count), "--ports-dir", m_folder->path()};
    if (!simulator->start(arguments + switches, count))
        qFatal("the simulated adapter on %s did not start", qPrintable(port));
    return *simulator;
}

QProcessEnvironment TestE2eCli::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PAIRWICK_PORTS"), m_folder->path());
    return environment;
}

CliRun TestE2eCli::run(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
    CliRun result;
    const QDeadlineTimer deadline(PatienceMs);
    // The high-water mark leaves with the process, so it is sampled until the end.
    while (!process.waitForFinished(20)) {
        result.peakResidentKiB =
            std::max(result.peakResidentKiB, peakResidentKiB(process.processId()));
        if (process.state() == QProcess::NotRunning || deadline.hasExpired()) {
            process.kill();
            process.waitForFinished();
            return result;
        }
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    result.errors = process.readAllStandardError();
    result.ports = QJsonDocument::fromJson(result.output).object().value("ports").toArray();
    return result;
}

QStringList TestE2eCli::received(const QString &port) {
    // A simulator of several adapters names the port on each line.
    static const QRegularExpression line(QStringLiteral("^\\S+ (?:(COM\\d+) )?<- (.*)$"));
    // Output of an adapter that has ended arrives through the event loop.
    QCoreApplication::processEvents();
    QStringList lines;
    for (const auto &[first, simulator] : m_adapters) {
        for (const QString &text : QString::fromUtf8(simulator->standardOutput()).split(u'\n')) {
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch() && (match.hasCaptured(1) ? match.captured(1) : first) == port)
                lines.append(match.captured(2));
        }
    }
    return lines;
}

QStringList TestE2eCli::setCommands(const QString &port) {
    QStringList commands = received(port);
    commands.removeIf([](const QString &line) { return !line.contains(u'='); });
    return commands;
}

QJsonObject TestE2eCli::portResult(const CliRun &run, const QString &port) {
    for (const QJsonValue &entry : run.ports) {
        if (entry.toObject().value("port").toString() == port)
            return entry.toObject();
    }
    return {};
}

// A mapped pseudo-terminal opens and has no name under /dev/serial; an unmapped port is absent.
void TestE2eCli::portsListsEveryName() {
    adapter("COM1");
    const CliRun result = run({"ports", "--json"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.ports.size(), 16);
    const QJsonObject mapped = portResult(result, "COM1");
    QCOMPARE(mapped.value("device").toString(),
             QFileInfo(m_folder->filePath("com1")).canonicalFilePath());
    QVERIFY(mapped.value("opens").toBool());
    for (const QString key : {"stable", "path", "problem"})
        QVERIFY2(mapped.contains(key) && mapped.value(key).isNull(), qPrintable(key));
    const CliRun table = run({"ports"});
    QVERIFY2(table.output.startsWith("PORT ") && table.output.contains("  BY-PATH  "),
             table.output.constData());
}

// One adapter vanishes in the middle of the write, one reports a token no table holds, one port
// does not exist: the fine adapter is still written and verified, and the status says which
// failure is worst.
void TestE2eCli::portsFailIndependently() {
    adapter("COM1");
    adapter("COM2", {"--vanish-on", "AT+UARTBAUDRATE=115200"});
    adapter("COM3", {"--wrong-token", "AT+UART?"});
    const QString log = m_folder->filePath("traffic.log");
    const CliRun result = run({"write", "COM1", "COM2", "COM3", "COM9", "--set", "baud=115200",
                               "--set", "name=Unit 7", "--json", "--quiet", "--log", log});
    QCOMPARE(result.status, 3);
    // The log holds, port by port, exactly the lines each adapter received.
    QFile traffic(log);
    QVERIFY(traffic.open(QIODevice::ReadOnly));
    std::map<QString, QStringList> sent;
    for (const QString &line : QString::fromUtf8(traffic.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u' ');
        if (fields.size() >= 4 && fields[2] == u"->")
            sent[fields[1]].append(line.section(u' ', 3).chopped(4));
    }
    for (const QString port : {"COM1", "COM2", "COM3"})
        QCOMPARE(sent[port], received(port));

    const QJsonObject fine = portResult(result, "COM1");
    QVERIFY(fine.value("ok").toBool());
    QCOMPARE(fine.value("written").toArray(), QJsonArray({"name", "baud"}));
    QCOMPARE(fine.value("settings").toObject().value("baud").toString(), "115200");
    QCOMPARE(fine.value("settings").toObject().value("name").toString(), "Unit 7");

    const QJsonObject vanished = portResult(result, "COM2");
    QVERIFY(!vanished.value("ok").toBool());
    QVERIFY2(vanished.value("error").toString().startsWith("write baud=115200"),
             qPrintable(vanished.value("error").toString()));
    // The name was written and the baud rate may have been: only the values left alone remain.
    const QJsonObject held = vanished.value("settings").toObject();
    QVERIFY(!held.contains("name") && !held.contains("baud") && held.contains("pin"));
    QVERIFY(!vanished.value("complete").toBool());
    QTRY_VERIFY_WITH_TIMEOUT(received("COM2").contains("AT+UARTBAUDRATE=115200"), PatienceMs);
    QCOMPARE(received("COM2").constLast(), "AT+UARTBAUDRATE=115200");

    const QJsonObject wrong = portResult(result, "COM3");
    QVERIFY(!wrong.value("ok").toBool());
    QVERIFY2(wrong.value("error").toString().startsWith("read baud, parity, stop"),
             qPrintable(wrong.value("error").toString()));
    QVERIFY(!received("COM3").contains("AT+DEVICENAME=Unit 7"));

    const QJsonObject missing = portResult(result, "COM9");
    QVERIFY(!missing.value("ok").toBool());
    QVERIFY(!missing.value("error").toString().isEmpty());
}

// A port that will not open says so at once, while a slow adapter beside it is still being read;
// each line counts the port's steps, those of a write as planned until the adapter was read: two
// keys, of which one differs.
void TestE2eCli::failedOpenIsToldAtOnce() {
    adapter("COM1", {"--reply-delay", "200"});
    const CliRun result = run({"write", "COM1", "COM9", "--set", "name=Slow", "--set", "pin=1234"});
    QCOMPARE(result.status, 3);
    const QStringList lines = QString::fromUtf8(result.errors).split(u'\n');
    const qsizetype failed = lines.indexOf(QRegularExpression("COM9: 0/20 FAILED: .*"));
    const qsizetype reading = lines.indexOf(QRegularExpression("COM1: [2-9]/20 read .*"));
    QVERIFY2(failed >= 0 && reading > failed, result.errors.constData());
    // Open, probe, seven reads, the name, seven reads back: a slave has no bound address read.
    QVERIFY2(lines.contains("COM1: 9/17 write name=Slow") && lines.contains("COM1: 17/17 done"),
             result.errors.constData());
}

// read --json of one adapter is a profile for others; a second write finds nothing to change.
void TestE2eCli::profileClonesAnAdapter() {
    adapter("COM1", {"--initial-role", "1"});
    adapter("COM2");
    adapter("COM3");
    QCOMPARE(run({"write", "COM1", "--set", "name=Golden", "--set", "bind=0011:22:334455", "--set",
                  "parity=E", "--set", "messages=off", "--quiet"})
                 .status,
             0);
    const CliRun golden = run({"read", "COM1", "--json", "--quiet"});
    QCOMPARE(golden.status, 0);
    const QString profile = m_folder->filePath("golden.json");
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(golden.output);
    file.close();

    const CliRun cloned = run({"write", "COM2", "COM3", "--profile", profile, "--json", "--quiet"});
    QCOMPARE(cloned.status, 0);
    QJsonObject expected = portResult(golden, "COM1").value("settings").toObject();
    for (const QString port : {"COM2", "COM3"}) {
        QJsonObject settings = portResult(cloned, port).value("settings").toObject();
        QCOMPARE(settings, expected);
        QCOMPARE(portResult(cloned, port).value("unchanged").toArray(),
                 QJsonArray({"baud", "stop", "pin"}));
    }
    const qsizetype linesBefore = received("COM2").size();
    const CliRun again = run({"write", "COM2", "--profile", profile, "--json", "--quiet"});
    QCOMPARE(again.status, 0);
    QCOMPARE(portResult(again, "COM2").value("written").toArray(), QJsonArray());
    for (const QString &line : received("COM2").mid(linesBefore))
        QVERIFY2(!line.contains(u'='), qPrintable(line));
}

void TestE2eCli::completionFollowsTheLayout_data() {
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("keysRead");

    const QStringList all{"name", "version",  "baud", "parity", "stop",
                          "role", "messages", "pin",  "address"};
    QTest::newRow("a name that reads OK")
        << QStringList{} << QStringList{"--set", "name=OK"} << 0 << "OK" << all;
    QTest::newRow("a late tail, waited for")
        << QStringList{"--late-tail", "AT+VER?"} << QStringList{"--timeout", "2500"} << 0
        << "PairwickSim" << all;
    QTest::newRow("a late tail, too late") << QStringList{"--late-tail", "AT+VER?"} << QStringList{}
                                           << 1 << "read version" << QStringList{"name"};
    QTest::newRow("lower-case ok")
        << QStringList{"--lowercase-ok"} << QStringList{} << 1 << "probe" << QStringList{};
    QTest::newRow("no repeated command line")
        << QStringList{"--no-echo", "AT+PIN?"} << QStringList{} << 1 << "read pin"
        << all.mid(0, all.indexOf("pin"));
}

// A write, when there is something to set, or else a read; the outcome is the name read back or
// the step that failed. A port that failed part-way still reports what it read.
void TestE2eCli::completionFollowsTheLayout() {
    QFETCH(QStringList, switches);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, outcome);
    QFETCH(QStringList, keysRead);
    adapter("COM1", switches);
    const QString command = arguments.contains("--set") ? "write" : "read";
    const CliRun result = run(QStringList{command, "COM1", "--json", "--quiet"} + arguments);
    QCOMPARE(result.status, status);
    const QJsonObject port = portResult(result, "COM1");
    if (status == 0)
        QCOMPARE(port.value("settings").toObject().value("name").toString(), outcome);
    else
        QVERIFY2(port.value("error").toString().startsWith(outcome),
                 qPrintable(port.value("error").toString()));
    QCOMPARE(port.value("complete").toBool(), status == 0);
    QCOMPARE(port.value("settings").isNull(), keysRead.isEmpty());
    QStringList keys = port.value("settings").toObject().keys();
    keys.sort();
    keysRead.sort();
    QCOMPARE(keys, keysRead);
}

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

// Two adapters as they come from the factory: each gets only the set commands that differ, the
// master the slave's address exactly as the slave reports it, and both read back as a pair. A
// second pair without --pin gives the slave the master's PIN and finds nothing else to change.
void TestE2eCli::pairBindsMasterToSlave() {
    adapter("COM1", {}, 2);
    const CliRun paired =
        run({"pair", "COM1", "COM2", "--pin", "482193", "--set", "baud=19200", "--master-name",
             "Left", "--slave-name", "Right", "--json", "--quiet"});
    QCOMPARE(paired.status, 0);
    const QJsonObject read = portResult(run({"read", "COM2", "--json", "--quiet"}), "COM2");
    const QString address = read.value("settings").toObject().value("address").toString();
    QCOMPARE(address, "0A51:00:000002");
    QCOMPARE(setCommands("COM1"),
             QStringList({"AT+DEVICENAME=Left", "AT+UARTBAUDRATE=19200", "AT+ROLE=1",
                          "AT+PIN=482193", "AT+BINDADDR0=" + address}));
    QCOMPARE(setCommands("COM2"),
             QStringList({"AT+DEVICENAME=Right", "AT+UARTBAUDRATE=19200", "AT+PIN=482193"}));
    const QJsonObject pair =
        QJsonDocument::fromJson(paired.output).object().value("pair").toObject();
    QCOMPARE(pair.value("address").toString(), address);
    QCOMPARE(pair.value("pin").toString(), "482193");
    QVERIFY(pair.value("paired").toBool());

    const CliRun readBack = run({"read", "COM1", "COM2", "--json", "--quiet"});
    QCOMPARE(readBack.status, 0);
    const QJsonObject master = portResult(readBack, "COM1").value("settings").toObject();
    const QJsonObject slave = portResult(readBack, "COM2").value("settings").toObject();
    QCOMPARE(master.value("role").toString(), "master");
    QCOMPARE(master.value("bind").toString(), address);
    QCOMPARE(slave.value("role").toString(), "slave");
    QVERIFY(!slave.contains("bind"));
    for (const QJsonObject &settings : {master, slave}) {
        QCOMPARE(settings.value("pin").toString(), "482193");
        QCOMPARE(settings.value("baud").toString(), "19200");
    }
    QCOMPARE(master.value("name").toString(), "Left");
    QCOMPARE(slave.value("name").toString(), "Right");

    const qsizetype sentBefore = setCommands("COM1").size() + setCommands("COM2").size();
    const CliRun again = run({"pair", "COM1", "COM2", "--quiet"});
    QCOMPARE(again.status, 0);
    QVERIFY2(again.output.endsWith("COM1 (master) -> COM2 (slave) 0A51:00:000002, PIN 482193\n"),
             again.output.constData());
    QCOMPARE(setCommands("COM1").size() + setCommands("COM2").size(), sentBefore);
}

// The slave refuses its role while the master is written: the master's record holds what it
// was verified to hold, the slave's leaves out the role it may or may not have taken.
void TestE2eCli::pairFailureTellsWhatEachHolds() {
    adapter("COM1", {"--initial-role", "1", "--error-on", "AT+ROLE=0"}, 2);
    const CliRun result = run({"pair", "COM1", "COM2", "--pin", "1357", "--json", "--quiet"});
    QCOMPARE(result.status, 1);
    const QJsonObject master = portResult(result, "COM1");
    QVERIFY(master.value("ok").toBool());
    QVERIFY(master.value("complete").toBool());
    const QJsonObject held = master.value("settings").toObject();
    QCOMPARE(held.value("role").toString(), "master");
    QCOMPARE(held.value("bind").toString(), "0A51:00:000002");
    QCOMPARE(held.value("pin").toString(), "1357");

    const QJsonObject slave = portResult(result, "COM2");
    QVERIFY(!slave.value("ok").toBool());
    QVERIFY(!slave.value("complete").toBool());
    QVERIFY2(slave.value("error").toString().startsWith("write role=slave: the adapter answered"),
             qPrintable(slave.value("error").toString()));
    const QJsonObject slaveHeld = slave.value("settings").toObject();
    QVERIFY(!slaveHeld.contains("role"));
    // The PIN comes after the role, so the slave still has its own.
    QCOMPARE(slaveHeld.value("pin").toString(), "1234");
    QCOMPARE(setCommands("COM2"), QStringList{"AT+ROLE=0"});

    const QJsonObject pair =
        QJsonDocument::fromJson(result.output).object().value("pair").toObject();
    QVERIFY(!pair.value("paired").toBool());
    QVERIFY2(pair.value("error").toString().startsWith("COM2 (slave) failed"),
             qPrintable(pair.value("error").toString()));
}

QTEST_GUILESS_MAIN(TestE2eCli)
#include "tst_e2e_cli.moc"
