// SPDX-License-Identifier: GPL-3.0-or-later
// pairwick-cli station as a fixture runs it all day: real station processes, simulated units that
// a simulated operator takes out and puts in, and the ledger on an SQLite file or on PostgreSQL
// servers of the test's own: over a socket, through a PgBouncer, over TLS, and a primary with a
// synchronous standby that takes over.
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "labelreading.h"
#include "patience.h"
#include "privatepostgres.h"
#include "simulatorprocess.h"

using pairwick::adaptersim::test::SimulatorProcess;
using pairwick::fakes::PrivatePgBouncer;
using pairwick::fakes::PrivatePostgres;

namespace {

using Json = QJsonObject;
using Fields = std::map<QString, QString>;

// One station process and the JSON lines it printed so far.
class Station {
public:
    Station(const QStringList &arguments, const QProcessEnvironment &environment,
            const QString &errorFile = {}) {
        m_process.setProcessEnvironment(environment);
        if (!errorFile.isEmpty())
            m_process.setStandardErrorFile(errorFile);
        m_process.start(QStringLiteral(PAIRWICK_CLI_PATH),
                        QStringList{QStringLiteral("station")} + arguments +
                            QStringList{QStringLiteral("--json")});
        if (!m_process.waitForStarted())
            qWarning("the station did not start: %s", qPrintable(m_process.errorString()));
    }
    ~Station() {
        // What the station said is the first thing to read when a case fails.
        if (QTest::currentTestFailed())
            qWarning("the station said: %s", errors().right(3000).constData());
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The units finished since the last call.
    QList<Json> newUnits() {
        m_pending += m_process.readAllStandardOutput();
        QList<Json> units;
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const Json line = QJsonDocument::fromJson(m_pending.left(end)).object();
            m_pending.remove(0, end + 1);
            if (line.value(QStringLiteral("event")).toString() == QStringLiteral("unit"))
                units.append(line);
            else
                m_slotEvents.append(line);
        }
        m_units += units;
        return units;
    }
    const QList<Json> &units() const { return m_units; }
    // All units finished so far, read afresh: safe to evaluate more than once.
    qsizetype unitCount() {
        newUnits();
        return m_units.size();
    }
    const QList<Json> &slotEvents() const { return m_slotEvents; }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process.processId(); }
    // The CPU time the station has taken so far, in clock ticks, of all its threads.
    qint64 cpuTicks() const {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        // utime and stime, the 14th and 15th fields, after the name in parentheses
        const QList<QByteArray> fields = stat.readAll().split(')').constLast().trimmed().split(' ');
        return fields.value(11).toLongLong() + fields.value(12).toLongLong();
    }
    void signal(int number) {
        // Never pid 0: that would signal the test's whole process group.
        if (const qint64 pid = m_process.processId(); pid > 0)
            ::kill(pid_t(pid), number);
    }
    // The exit status, or -1 for a crash or one still running at the deadline.
    int finish(int timeoutMs = 30000) {
        const bool ended =
            m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
        newUnits();
        return ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QByteArray errors() { return m_errors += m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QByteArray m_pending;
    QByteArray m_errors;
    QList<Json> m_units;
    QList<Json> m_slotEvents;
};

// What the simulated units hold at the end, by address, from the simulator's own log.
std::map<QString, Fields> unitStates(const QByteArray &log) {
    static const QRegularExpression unitIn(
        QStringLiteral(R"(^\S+ (?:(COM\d+) )?unit in \d+ (\S+)$)"));
    static const QRegularExpression state(
        QStringLiteral(R"(^\S+ (?:(COM\d+) )?state (\w+)=(.*)$)"));
    std::map<QString, QString> addressIn;
    std::map<QString, Fields> states;
    for (const QByteArray &bytes : log.split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (const auto in = unitIn.match(line); in.hasMatch())
            addressIn[in.captured(1)] = in.captured(2);
        else if (const auto change = state.match(line); change.hasMatch())
            states[addressIn[change.captured(1)]][change.captured(2)] = change.captured(3);
    }
    return states;
}

// The whole answer of a loopback server to one request, read until it closes.
QByteArray httpExchange(quint16 port, const QByteArray &request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(PatienceMs))
        return {};
    socket.write(request);
    QByteArray answer;
    while (socket.waitForReadyRead(PatienceMs))
        answer += socket.readAll();
    return answer + socket.readAll();
}

}  // namespace

class TestE2eStation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void batchThroughTwoSlots();
    void unitPutInAgainIsNotWrittenAgain();
    void rejectedUnitIsSetAside();
    void failedUnitIsRetriedWithItsValues_data();
    void failedUnitIsRetriedWithItsValues();
    void stationsShareOneBatch_data();
    void stationsShareOneBatch();
    void ledgerOutageLosesNothing();
    void failoverToSynchronousStandbyLosesNothing();
    void ledgerOverTls_data();
    void ledgerOverTls();
    void killedStationsLoseNothing();
    void stationAndAuditorRolesKeepToTheirRights();
    void configFileAndCommandLine();
    void serviceNotificationsAndJournal();
    void slotAlarmRaisedAndCleared();
    void badRulesSendNothing_data();
    void badRulesSendNothing();
    void liveViewStaysInAShortTerminal();
    void emptySlotsSleep_data();
    void emptySlotsSleep();
    void metricsForPrometheus();
    void labelsOfPassesOnceInOrderThroughAnOutage();
    void labelsWaitingSurviveAStopAndAKill();

private:
    SimulatorProcess &startUnits(int ports, const QStringList &switches = {});
    QProcessEnvironment environment() const;
    QString sqliteUrl() const { return QStringLiteral("sqlite:") + m_folder->filePath("l.sqlite"); }
    // A new database on the test's server, reached through the pooler when one is given.
    QString postgresUrl(const PrivatePgBouncer *pooler = nullptr);
    std::unique_ptr<Station> station(const QStringList &arguments);
    // Plays the operator: a unit whose result is shown is taken out and the next put in, until
    // `done` holds or every station has ended.
    void operate(const QList<Station *> &stations, const std::function<bool()> &done,
                 int timeoutMs = 2 * PatienceMs);
    QJsonArray ledger(const QStringList &arguments);
    // pairwick-cli's exit status.
    int cli(const QStringList &arguments);
    struct Audit {
        int units = 0;
        int numbersTwice = 0;
        int gaps = 0;
        int disagreements = 0;  // a passed unit that holds other values than its record
        int lost = 0;           // a pass a station reported that the ledger does not hold
        int open = 0;           // attempts never ended
        int interrupted = 0;    // attempts a stop or a kill cut short
        int recount = 0;  // what `ledger check` finds kept apart from the records; -1: no answer
    };
    Audit audit(const QString &url, const QString &batch, const QList<Json> &reported);
    void expectLedgerMatchesUnits(const QString &url, const QString &batch,
                                  const QList<Json> &reported = {});

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SimulatorProcess> m_units;
    std::unique_ptr<PrivatePostgres> m_postgres;
    int m_databases = 0;
};

void TestE2eStation::initTestCase() {
    m_postgres = std::make_unique<PrivatePostgres>();
    QVERIFY2(m_postgres->problem().isEmpty(), qPrintable(m_postgres->problem()));
}

void TestE2eStation::init() {
    m_folder = std::make_unique<QTemporaryDir>();
}

void TestE2eStation::cleanup() {
    if (QTest::currentTestFailed() && m_units)
        qWarning("the units said: %s\n%s", m_units->standardOutput().right(3000).constData(),
                 m_units->standardError().right(1000).constData());
    m_units.reset();
    m_folder.reset();
}

SimulatorProcess &TestE2eStation::startUnits(int ports, const QStringList &switches) {
    m_units = std::make_unique<SimulatorProcess>();
    // Units are taken out as udev does it, unless a case says otherwise: the last --unplug counts.
    const QStringList arguments{"--units",     "--adapters",     QString::number(ports),
                                "--ports-dir", m_folder->path(), "--unit-settle",
                                "50",          "--unplug",       "udev"};
    if (!m_units->start(arguments + switches, ports))
        qFatal("the simulated units did not start");
    return *m_units;
}

QProcessEnvironment TestE2eStation::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PAIRWICK_PORTS"), m_folder->path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder->filePath("data"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), m_folder->filePath("state"));
    environment.remove(QStringLiteral("PAIRWICK_LEDGER"));
    return environment;
}

QString TestE2eStation::postgresUrl(const PrivatePgBouncer *pooler) {
    const QString name = QStringLiteral("station%1").arg(++m_databases);
    const QString url = m_postgres->createDatabase(name);
    if (url.isEmpty())
        qFatal("no database: %s", qPrintable(m_postgres->problem()));
    return pooler ? pooler->url(name) : url;
}

std::unique_ptr<Station> TestE2eStation::station(const QStringList &arguments) {
    return std::make_unique<Station>(arguments, environment());
}

void TestE2eStation::operate(const QList<Station *> &stations, const std::function<bool()> &done,
                             int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        bool anyRunning = false;
        for (Station *one : stations) {
            anyRunning = anyRunning || one->running();
            for (const Json &unit : one->newUnits())
                m_units->command("next " + unit.value(QStringLiteral("slot")).toString().toUtf8());
        }
        if (!anyRunning)
            return;
        QTest::qWait(20);
    }
}

QJsonArray TestE2eStation::ledger(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH),
                  QStringList{QStringLiteral("ledger")} + arguments + QStringList{"--json"});
    if (!process.waitForFinished(PatienceMs) || process.exitCode() != 0)
        qWarning("ledger %s: %s", qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
    const QByteArray output = process.readAllStandardOutput();
    if (arguments.first() == u"batches")
        return QJsonDocument::fromJson(output).object().value("batches").toArray();
    QJsonArray rows;  // one object a line
    for (const QByteArray &line : output.split('\n')) {
        if (!line.isEmpty())
            rows.append(QJsonDocument::fromJson(line).object());
    }
    return rows;
}

int TestE2eStation::cli(const QStringList &arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral(PAIRWICK_CLI_PATH), arguments);
    if (!process.waitForFinished(PatienceMs))
        return -1;
    if (process.exitCode() != 0)
        qWarning("%s: %s", qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
    return process.exitCode();
}

// Every unit the ledger calls passed holds what the ledger says it was given, every pass a
// station reported is in the ledger, no number is handed out twice or skipped, and no attempt
// is left open.
TestE2eStation::Audit TestE2eStation::audit(const QString &url, const QString &batch,
                                            const QList<Json> &reported) {
    const std::map<QString, Fields> states = unitStates(m_units->standardOutput());
    Audit audit;
    QSet<qint64> numbers;
    QSet<QString> passed;
    for (const QJsonValue &value : ledger({"units", "--batch", batch, "--ledger", url})) {
        const Json unit = value.toObject();
        const QString address = unit.value("address").toString();
        ++audit.units;
        audit.numbersTwice += numbers.contains(unit.value("seq").toInteger());
        numbers.insert(unit.value("seq").toInteger());
        if (unit.value("state").toString() != "passed")
            continue;
        passed.insert(address);
        const auto found = states.find(address);
        for (const auto &[key, factory] : {std::pair{"name", "PairwickSim"}, {"pin", "1234"}}) {
            if (unit.value(key).toString().isEmpty())
                continue;  // not one of the unit's own values
            const bool held = found != states.end() && found->second.count(key) > 0;
            const QString holds = held ? found->second.at(key) : QString(factory);
            audit.disagreements += holds != unit.value(key).toString();
        }
    }
    for (const Json &unit : reported)
        audit.lost += unit.value("result").toString() == "passed" &&
                      !passed.contains(unit.value("address").toString());
    // Numbers are handed out in order, so a batch has no gaps.
    audit.gaps = numbers.isEmpty()
                     ? 0
                     : int(*std::max_element(numbers.cbegin(), numbers.cend()) - numbers.size());
    for (const QJsonValue &attempt :
         ledger({"units", "--batch", batch, "--attempts", "--ledger", url})) {
        audit.open += attempt.toObject().value("result").toString() == "started";
        audit.interrupted += attempt.toObject().value("result").toString() == "interrupted";
    }
    QProcess check;
    check.setProcessEnvironment(environment());
    check.start(QStringLiteral(PAIRWICK_CLI_PATH), {"ledger", "check", "--ledger", url});
    check.waitForFinished(PatienceMs);
    // Each disagreement on a line, then a line that sums them up.
    audit.recount = check.exitCode() == 0   ? 0
                    : check.exitCode() == 1 ? int(check.readAllStandardOutput().count('\n')) - 1
                                            : -1;
    return audit;
}

void TestE2eStation::expectLedgerMatchesUnits(const QString &url, const QString &batch,
                                              const QList<Json> &reported) {
    const Audit found = audit(url, batch, reported);
    QVERIFY(found.units > 0);
    QCOMPARE(found.numbersTwice, 0);
    QCOMPARE(found.gaps, 0);
    QCOMPARE(found.disagreements, 0);
    QCOMPARE(found.lost, 0);
    QCOMPARE(found.open, 0);
    QCOMPARE(found.recount, 0);
}

void TestE2eStation::batchThroughTwoSlots() {
    startUnits(2, {"--first-unit", "500"});
    const QString url = sqliteUrl();
    const QString labels = m_folder->filePath("labels.txt");
    auto run = station(
        {"COM1", "COM2", "--batch", "sensors", "--set", "name=Sensor-{seq:4}", "--set",
         "pin={random:6}", "--count", "5", "--ledger", url, "--station", "bench-1", "--on-pass",
         QStringLiteral("echo \"$PAIRWICK_SEQ $PAIRWICK_NAME $PAIRWICK_PIN $PAIRWICK_ADDRESS "
                        "$PAIRWICK_SLOT $PAIRWICK_STATION $PAIRWICK_BATCH\" >> '%1'")
             .arg(labels)});
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);

    QFile labelFile(labels);
    QVERIFY(labelFile.open(QIODevice::ReadOnly));
    const QStringList labelLines = QString::fromUtf8(labelFile.readAll()).trimmed().split(u'\n');
    QVERIFY2(run->units().size() == 5, run->errors().constData());
    QCOMPARE(labelLines.size(), run->units().size());
    QSet<QString> pins;
    for (const Json &unit : run->units()) {
        QCOMPARE(unit.value("result").toString(), QStringLiteral("passed"));
        const qint64 seq = unit.value("seq").toInteger();
        const Json settings = unit.value("settings").toObject();
        const QString name = QStringLiteral("Sensor-%1").arg(seq, 4, 10, QLatin1Char('0'));
        QCOMPARE(settings.value("name").toString(), name);
        const QString pin = settings.value("pin").toString();
        QVERIFY2(QRegularExpression("^\\d{6}$").match(pin).hasMatch(), qPrintable(pin));
        pins.insert(pin);
        QVERIFY(labelLines.contains(QStringList{QString::number(seq), name, pin,
                                                unit.value("address").toString(),
                                                unit.value("slot").toString(), "bench-1", "sensors"}
                                        .join(u' ')));
    }
    QVERIFY(pins.size() > 1);
    expectLedgerMatchesUnits(url, "sensors", run->units());
    const QJsonArray batches = ledger({"batches", "--ledger", url});
    QCOMPARE(batches.size(), 1);
    QCOMPARE(batches[0].toObject().value("passed").toInteger(), run->units().size());
}

void TestE2eStation::unitPutInAgainIsNotWrittenAgain() {
    SimulatorProcess &units = startUnits(1);
    const QString url = sqliteUrl();
    auto run = station({"COM1", "--batch", "again", "--set", "name=Unit-{seq}", "--ledger", url,
                        "--station", "bench-2"});
    // The same unit answers again after a silence: the slot saw it go and come back.
    for (int visit = 0; visit < 2; ++visit) {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), visit + 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        units.command("unmute COM1");
    }
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QCOMPARE(run->units()[0].value("result").toString(), QStringLiteral("passed"));
    for (int visit = 1; visit < 3; ++visit) {
        const Json unit = run->units()[visit];
        QCOMPARE(unit.value("result").toString(), QStringLiteral("already"));
        QCOMPARE(unit.value("seq").toInteger(), 1);
        QVERIFY2(unit.value("error").toString().startsWith(
                     "already provisioned as Unit-1 (#1, bench-2, "),
                 qPrintable(unit.value("error").toString()));
    }
    const QJsonArray attempts = ledger({"units", "--attempts", "--ledger", url});
    QCOMPARE(attempts.size(), 3);
    const QJsonArray units1 = ledger({"units", "--ledger", url});
    QCOMPARE(units1.size(), 1);
    QCOMPARE(units1[0].toObject().value("state").toString(), QStringLiteral("passed"));
    // Only the first visit wrote to the unit.
    QCOMPARE(units.standardOutput().count("<- AT+DEVICENAME="), 1);
}

// A batch that allows two attempts: the unit that failed twice is set aside at its third visit,
// which sends it nothing beyond the probe and the read that found it.
void TestE2eStation::rejectedUnitIsSetAside() {
    SimulatorProcess &units = startUnits(1, {"--error-on", "AT+PIN=4321"});
    const QString url = sqliteUrl();
    auto run = station({"COM1", "--batch", "limited", "--set", "pin=4321", "--max-attempts", "2",
                        "--operator", "Ana Lima", "--ledger", url, "--station", "bench-2"});
    qsizetype beforeThird = 0;
    for (int visit = 0; visit < 2; ++visit) {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), visit + 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        beforeThird = units.standardOutput().size();
        units.command("unmute COM1");
    }
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    for (int visit = 0; visit < 2; ++visit) {
        const Json failed = run->units()[visit];
        QCOMPARE(failed.value("result").toString(), QStringLiteral("failed"));
        QCOMPARE(failed.value("step").toString(), QStringLiteral("write:pin"));
        QCOMPARE(failed.value("errorCode").toString(), QStringLiteral("error-reply"));
    }
    const Json rejected = run->units()[2];
    QCOMPARE(rejected.value("result").toString(), QStringLiteral("rejected"));
    QCOMPARE(rejected.value("seq").toInteger(), 1);
    QCOMPARE(rejected.value("attempts").toInteger(), 3);
    QCOMPARE(rejected.value("operator").toString(), QStringLiteral("Ana Lima"));
    QCOMPARE(rejected.value("error").toString(),
             QStringLiteral("set it aside: #1 had 3 attempts and is not written again"));
    const QList<QByteArray> third = units.standardOutput().mid(beforeThird).split('\n');
    qsizetype sent = 0;
    for (const QByteArray &line : third) {
        const qsizetype at = line.indexOf("<- ");
        if (at < 0)
            continue;
        ++sent;
        const QByteArray command = line.mid(at + 3).trimmed();
        QVERIFY2(command == "AT" || command.endsWith('?'), command.constData());
    }
    QVERIFY(sent > 1);

    QStringList attempts;
    for (const QJsonValue &value : ledger({"units", "--attempts", "--ledger", url})) {
        const Json attempt = value.toObject();
        attempts << QStringList{attempt.value("result").toString(),
                                attempt.value("operator").toString(),
                                attempt.value("step").toString(), attempt.value("error").toString()}
                        .join(u'|');
    }
    QCOMPARE(attempts,
             QStringList({"failed|Ana Lima|write:pin|error-reply",
                          "failed|Ana Lima|write:pin|error-reply", "rejected|Ana Lima||"}));
    QCOMPARE(ledger({"units", "--state", "rejected", "--ledger", url}).size(), 1);
    QCOMPARE(ledger({"units", "--state", "failed", "--ledger", url}).size(), 0);
}

void TestE2eStation::failedUnitIsRetriedWithItsValues_data() {
    QTest::addColumn<bool>("stopped");
    QTest::newRow("no reply to the bind") << false;
    QTest::newRow("stopped while the bind waits for its reply") << true;
}

void TestE2eStation::failedUnitIsRetriedWithItsValues() {
    QFETCH(bool, stopped);
    const QString bind = QStringLiteral("1A2B:3C:4D5E6F");
    const QString values = m_folder->filePath("pairs.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("seq,role,bind\n1,master," + bind.toUtf8() + "\n");
    file.close();
    SimulatorProcess &units = startUnits(1, {"--silent-on", "AT+BINDADDR0=" + bind});
    const QString url = postgresUrl();
    const QStringList arguments{"COM1",     "--batch", "pairs",    "--set", "pin={random:4}",
                                "--values", values,    "--ledger", url,     "--station",
                                "bench-3"};
    QList<Json> reported;
    auto run = station(arguments + (stopped ? QStringList{"--timeout", "60000"} : QStringList{}));
    if (stopped) {
        // Stopped while the bind is out and its reply is awaited; the next start retries it.
        QTRY_VERIFY_WITH_TIMEOUT(units.standardOutput().contains("<- AT+BINDADDR0="), PatienceMs);
        run->signal(SIGTERM);
        QCOMPARE(run->finish(), 130);
        reported += run->units();
        run = station(arguments);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 1, PatienceMs);
        units.command("mute COM1");
        QTest::qWait(1500);
        units.command("unmute COM1");
    }
    const qsizetype before = reported.size();
    QTRY_COMPARE_WITH_TIMEOUT(before + run->unitCount(), 2, PatienceMs);
    // The next unit is not in the values file and passes.
    units.command("next COM1");
    QTRY_COMPARE_WITH_TIMEOUT(before + run->unitCount(), 3, PatienceMs);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    reported += run->units();

    // The bind took effect although its reply never came, so the retry has nothing left to
    // write but must still verify the same number's values.
    const Json first = reported[0];
    const Json retry = reported[1];
    // The step and the error as codes, worded from them; the value written is the unit's own.
    const QString step = QStringLiteral("write:bind");
    const QString error = stopped ? "stopped-awaiting-reply" : "no-reply";
    QCOMPARE(first.value("result").toString(), stopped ? "interrupted" : "failed");
    QCOMPARE(first.value("step").toString(), step);
    QCOMPARE(first.value("errorCode").toString(), error);
    QCOMPARE(first.value("detail").toString(), stopped ? "" : "1000");
    QCOMPARE(first.value("error").toString(), stopped ? "no reply to write bind before the stop"
                                                      : "write bind: no reply within 1000 ms");
    QCOMPARE(retry.value("result").toString(), QStringLiteral("passed"));
    QCOMPARE(first.value("seq").toInteger(), 1);
    QCOMPARE(retry.value("seq").toInteger(), 1);
    const QString pin = retry.value("settings").toObject().value("pin").toString();
    QCOMPARE(retry.value("settings").toObject().value("bind").toString(), bind);
    // Written once to this unit, once to the next.
    QCOMPARE(units.standardOutput().count("<- AT+PIN="), 2);
    QVERIFY(units.standardOutput().contains("<- AT+PIN=" + pin.toUtf8() + "\n"));
    const Json next = reported[2];
    QCOMPARE(next.value("result").toString(), QStringLiteral("passed"));
    QCOMPARE(next.value("seq").toInteger(), 2);
    QCOMPARE(next.value("settings").toObject().value("role").toString(), QStringLiteral("slave"));

    // The cut-short attempt tells what the unit took, what it may have taken, and of its
    // settings only what no write changed; the unit itself holds every value sent.
    const QJsonArray written{"role", "pin"};
    const QJsonArray sent{"bind"};
    QCOMPARE(first.value("written").toArray(), written);
    QCOMPARE(first.value("sent").toArray(), sent);
    QCOMPARE(first.value("complete").toBool(true), false);
    const Json firstSettings = first.value("settings").toObject();
    QCOMPARE(firstSettings.value("name").toString(), QStringLiteral("PairwickSim"));
    for (const char *key : {"role", "pin", "bind"})
        QVERIFY2(!firstSettings.contains(key), key);
    const Fields holds = unitStates(units.standardOutput())[first.value("address").toString()];
    QCOMPARE(holds.at("role"), QStringLiteral("1"));  // the master role as the unit stores it
    QCOMPARE(holds.at("pin"), pin);
    QCOMPARE(holds.at("bind"), bind);

    // The line's yield as the server kept it: a cut-short attempt decides nothing, a failed one
    // makes its unit's pass a retest.
    const QJsonObject yield =
        ledger({"report", "--ledger", url, "--by", "slot"}).first().toObject();
    const QJsonObject slot = yield.value("groups").toArray().first().toObject();
    QCOMPARE(QJsonArray({slot.value("station"), slot.value("slot"), slot.value("units"),
                         slot.value("first_pass"), slot.value("passed"), slot.value("retests"),
                         slot.value("rejected"), yield.value("total").toObject().value("units")}),
             QJsonArray({"bench-3", "COM1", 2, stopped ? 2 : 1, 2, stopped ? 0 : 1, 0, 2}));
    QCOMPARE(yield.value("failures").toArray(),
             stopped ? QJsonArray()
                     : QJsonArray({QJsonObject{
                           {"step", step}, {"error", error}, {"count", 1}, {"share", 1}}}));

    const QJsonArray ledgerUnits = ledger({"units", "--batch", "pairs", "--ledger", url});
    QCOMPARE(ledgerUnits.size(), 2);
    const Json retried = ledgerUnits[0].toObject();
    QCOMPARE(retried.value("state").toString(), QStringLiteral("passed"));
    QCOMPARE(retried.value("pin").toString(), pin);
    QCOMPARE(retried.value("attempts").toInteger(), 2);
    const Json cut =
        ledger({"units", "--batch", "pairs", "--attempts", "--ledger", url})[0].toObject();
    QCOMPARE(cut.value("result").toString(), first.value("result").toString());
    QCOMPARE(cut.value("step").toString(), step);
    QCOMPARE(cut.value("error").toString(), error);
    QCOMPARE(cut.value("detail").toString(), first.value("detail").toString());
    QCOMPARE(cut.value("reason").toString(), first.value("error").toString());
    QCOMPARE(cut.value("written").toArray(), written);
    QCOMPARE(cut.value("sent").toArray(), sent);
    QCOMPARE(cut.value("read_back").toObject(), Json());
}

void TestE2eStation::stationsShareOneBatch_data() {
    QTest::addColumn<QString>("ledger");
    QTest::newRow("one SQLite file") << "sqlite";
    QTest::newRow("one PostgreSQL server") << "postgresql";
    // The schema is made and every number reserved through pooled sessions.
    QTest::newRow("PgBouncer in transaction mode") << "pgbouncer";
    // Five busy slots a station, on a server that takes eight connections in all: a station
    // holding a connection a slot would be refused.
    QTest::newRow("ten slots, a server of eight connections") << "few connections";
}

void TestE2eStation::stationsShareOneBatch() {
    QFETCH(QString, ledger);
    std::unique_ptr<PrivatePgBouncer> pooler;
    if (ledger == "pgbouncer") {
        pooler = std::make_unique<PrivatePgBouncer>(*m_postgres);
        QVERIFY2(pooler->problem().isEmpty(), qPrintable(pooler->problem()));
    }
    std::unique_ptr<PrivatePostgres> small;
    if (ledger == "few connections") {
        small = std::make_unique<PrivatePostgres>(QStringList{"max_connections=8"});
        QVERIFY2(small->problem().isEmpty(), qPrintable(small->problem()));
    }
    const int slotsEach = small ? 5 : 2;
    startUnits(2 * slotsEach);
    const QString url = ledger == "sqlite" ? sqliteUrl()
                        : small            ? small->createDatabase(QStringLiteral("small"))
                                           : postgresUrl(pooler.get());
    QVERIFY(!url.isEmpty());
    const QStringList rules{"--batch", "shared", "--set",    "name=Node-{seq:3}",
                            "--count", "12",     "--ledger", url};
    QStringList eastSlots{"--station", "east"};
    QStringList westSlots{"--station", "west"};
    for (int slot = 1; slot <= slotsEach; ++slot) {
        eastSlots.append(QStringLiteral("COM%1").arg(slot));
        westSlots.append(QStringLiteral("COM%1").arg(slotsEach + slot));
    }
    auto east = station(eastSlots + rules);
    auto west = station(westSlots + rules);
    operate({east.get(), west.get()}, [] { return false; });
    QCOMPARE(east->finish(), 0);
    QCOMPARE(west->finish(), 0);
    qsizetype passed = 0;
    // Every slot starts with a unit in it, so each gets a number: none is kept waiting for a
    // connection to the ledger.
    QSet<QString> slotsServed;
    for (Station *one : {east.get(), west.get()}) {
        QVERIFY(!one->units().isEmpty());
        for (const Json &unit : one->units()) {
            passed += unit.value("result").toString() == QStringLiteral("passed");
            slotsServed.insert(unit.value("slot").toString());
        }
    }
    QCOMPARE(passed, 12);
    QCOMPARE(slotsServed.size(), 2 * slotsEach);
    expectLedgerMatchesUnits(url, "shared", east->units() + west->units());
    QCOMPARE(this->ledger({"units", "--ledger", url}).size(), passed);
}

void TestE2eStation::ledgerOutageLosesNothing() {
    // Paced like a real line, so the server can go away while a unit is being written.
    SimulatorProcess &units = startUnits(1, {"--line-rate", "9600"});
    const QString url = postgresUrl();
    const QStringList rules{"COM1",     "--batch", "outage",    "--set",  "name=Probe-{seq}",
                            "--ledger", url,       "--station", "bench-4"};
    auto run = station(rules);
    QTRY_VERIFY_WITH_TIMEOUT(units.standardOutput().contains("<- AT+DEVICENAME="), PatienceMs);
    QVERIFY(m_postgres->stop());
    // The result waits; the next unit is not started while the ledger is away.
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), 1, PatienceMs);
    units.command("next COM1");
    QTRY_VERIFY_WITH_TIMEOUT(
        (run->newUnits(), !run->slotEvents().isEmpty() && run->slotEvents().last().value("state") ==
                                                              QStringLiteral("ledger-away")),
        20000);
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QVERIFY2(run->errors().contains("wait in"), run->errors().constData());
    QCOMPARE(units.standardOutput().count("<- AT+DEVICENAME="), 1);

    // The next start stores what waited before it provisions anything.
    QVERIFY(m_postgres->start());
    auto again = station(QStringList{"COM1", "--ledger", url, "--station", "bench-4", "--batch",
                                     "outage", "--count", "2"});
    operate({again.get()}, [] { return false; });
    QCOMPARE(again->finish(), 0);
    expectLedgerMatchesUnits(url, "outage", run->units() + again->units());
    const QJsonArray all = ledger({"units", "--batch", "outage", "--ledger", url});
    QCOMPARE(all.size(), 2);
    QCOMPARE(all[0].toObject().value("state").toString(), QStringLiteral("passed"));
    QVERIFY(!QFile::exists(m_folder->filePath("state/pairwick/spool-bench-4.json")) ||
            QFile(m_folder->filePath("state/pairwick/spool-bench-4.json")).size() < 8);
}

// The primary crashes mid-batch and its synchronous standby is promoted: the stations find it
// through the URL's second host, and every number it had confirmed is there.
void TestE2eStation::failoverToSynchronousStandbyLosesNothing() {
    PrivatePostgres primary({"synchronous_standby_names='*'", "synchronous_commit=on"});
    QVERIFY2(primary.problem().isEmpty(), qPrintable(primary.problem()));
    PrivatePostgres standby(primary, {});
    QVERIFY2(standby.problem().isEmpty(), qPrintable(standby.problem()));
    QVERIFY2(!primary.createDatabase("failover").isEmpty(), qPrintable(primary.problem()));
    const QString url =
        QStringLiteral("postgresql://postgres@/failover?host=%1,%2&target_session_attrs=read-write")
            .arg(primary.folder(), standby.folder());
    // Paced like a real line, so that the crash meets units being written.
    startUnits(4, {"--line-rate", "9600"});
    const QStringList rules{"--batch", "failover", "--set",    "name=Fo-{seq:3}",
                            "--count", "12",       "--ledger", url};
    auto east = station(QStringList{"COM1", "COM2", "--station", "east"} + rules);
    auto west = station(QStringList{"COM3", "COM4", "--station", "west"} + rules);
    operate({east.get(), west.get()},
            [&] { return east->units().size() + west->units().size() >= 4; });
    QVERIFY2(primary.stopImmediately(), qPrintable(primary.problem()));
    QVERIFY2(standby.promote(), qPrintable(standby.problem()));
    operate({east.get(), west.get()}, [] { return false; });
    QCOMPARE(east->finish(), 0);
    QCOMPARE(west->finish(), 0);
    qsizetype passed = 0;
    for (const Json &unit : east->units() + west->units())
        passed += unit.value("result").toString() == QStringLiteral("passed");
    QCOMPARE(passed, 12);
    expectLedgerMatchesUnits(url, "failover", east->units() + west->units());
    QCOMPARE(ledger({"units", "--ledger", url}).size(), passed);
}

void TestE2eStation::ledgerOverTls_data() {
    QTest::addColumn<bool>("serversAuthority");
    QTest::addColumn<bool>("inEnvironment");  // libpq's PGSSLMODE and PGSSLROOTCERT, not the URL
    QTest::newRow("the authority that signed the server") << true << false;
    QTest::newRow("another authority") << false << false;
    QTest::newRow("another authority, in libpq's environment") << false << true;
}

void TestE2eStation::ledgerOverTls() {
    QFETCH(bool, serversAuthority);
    QFETCH(bool, inEnvironment);
    PrivatePostgres server({}, PrivatePostgres::Listening::TlsOnLoopback);
    QVERIFY2(server.problem().isEmpty(), qPrintable(server.problem()));
    const QString authority =
        serversAuthority ? server.authority() : server.makeAuthority(QStringLiteral("stranger"));
    QVERIFY2(!authority.isEmpty() && !server.createDatabase("tls").isEmpty(),
             qPrintable(server.problem()));
    QString url = QStringLiteral("postgresql://postgres@localhost:%1/tls").arg(server.tcpPort());
    QProcessEnvironment settings = environment();
    if (inEnvironment) {
        settings.insert(QStringLiteral("PGSSLMODE"), QStringLiteral("verify-full"));
        settings.insert(QStringLiteral("PGSSLROOTCERT"), authority);
    } else {
        url += QStringLiteral("?sslmode=verify-full&sslrootcert=") + authority;
    }
    startUnits(1);
    auto run = std::make_unique<Station>(
        QStringList{"COM1", "--batch", "tls", "--set", "name=Tls-{seq}", "--count", "2", "--ledger",
                    url, "--station", "bench-6"},
        settings);
    operate({run.get()}, [] { return false; });
    if (!serversAuthority) {
        QCOMPARE(run->finish(), 4);
        QVERIFY2(run->errors().contains("certificate verify failed"), run->errors().constData());
        QVERIFY(!m_units->standardOutput().contains("<- "));
        return;
    }
    QCOMPARE(run->finish(), 0);
    QCOMPARE(run->units().size(), 2);
    expectLedgerMatchesUnits(url, "tls", run->units());
}

// A station killed at seeded moments and started again under its name: the ledger and the units
// agree, and every result that was spooled is stored. PAIRWICK_STATION_KILLS and
// PAIRWICK_STATION_UNITS make the long run of the benchmark.
void TestE2eStation::killedStationsLoseNothing() {
    const int kills = qEnvironmentVariableIntValue("PAIRWICK_STATION_KILLS") > 0
                          ? qEnvironmentVariableIntValue("PAIRWICK_STATION_KILLS")
                          : 6;
    const int target = qEnvironmentVariableIntValue("PAIRWICK_STATION_UNITS") > 0
                           ? qEnvironmentVariableIntValue("PAIRWICK_STATION_UNITS")
                           : 12;
    const quint32 seed = quint32(qEnvironmentVariableIntValue("PAIRWICK_CHAOS_SEED")) + 1;
    QRandomGenerator random(seed);
    startUnits(2, {"--line-rate", "9600"});
    const QString url = sqliteUrl();
    const QStringList arguments{"COM1",           "COM2",   "--batch",        "chaos",    "--set",
                                "name=K-{seq:4}", "--set",  "pin={random:6}", "--ledger", url,
                                "--station",      "bench-5"};
    QList<Json> reported;
    for (int round = 0; round <= kills; ++round) {
        const bool last = round == kills;
        auto run = station(
            arguments + (last ? QStringList{"--count", QString::number(target)} : QStringList{}));
        const QDeadlineTimer killAt(last ? 600000 : random.bounded(200, 3000));
        operate(
            {run.get()}, [&] { return killAt.hasExpired(); }, 600000);
        if (!last)
            run->signal(SIGKILL);
        QCOMPARE(run->finish(), last ? 0 : -1);
        reported += run->units();
    }
    const Audit found = audit(url, "chaos", reported);
    const QString spool = m_folder->filePath("state/pairwick/spool-bench-5.json");
    const bool spoolEmpty = !QFile::exists(spool) || QFile(spool).size() < 8;
    std::printf(
        "station chaos, seed %u: %d kills, %d units in the ledger, %d numbers twice, %d "
        "gaps, %d disagreements with the units, %d lost results, %d attempts left open, %d "
        "cut short, %d disagreements of ledger check, spool %s\n",
        seed, kills, found.units, found.numbersTwice, found.gaps, found.disagreements, found.lost,
        found.open, found.interrupted, found.recount, spoolEmpty ? "empty" : "NOT EMPTY");
    std::fflush(stdout);
    expectLedgerMatchesUnits(url, "chaos", reported);
    QVERIFY(spoolEmpty);
    const QJsonArray batches = ledger({"batches", "--ledger", url});
    QVERIFY(batches[0].toObject().value("passed").toInteger() >= target);
}

// The file gives the slots and most values; the command line's count and name win over the file's.
void TestE2eStation::stationAndAuditorRolesKeepToTheirRights() {
    startUnits(1);
    const QString owner = postgresUrl();
    const QString database = QStringLiteral("station%1").arg(m_databases);
    const auto as = [&](const char *login) {
        return QString(owner).replace("postgres@", QLatin1String(login) + u'@');
    };
    for (int run = 0; run < 2; ++run)
        QCOMPARE(cli({"ledger", "roles", "--apply", "--ledger", owner}), 0);
    QVERIFY2(m_postgres->sql(database, "postgres",
                             "CREATE ROLE line1 LOGIN IN ROLE pairwick_station;"
                             "CREATE ROLE line2 LOGIN IN ROLE pairwick_station;"
                             "CREATE ROLE audit1 LOGIN IN ROLE pairwick_auditor"),
             qPrintable(m_postgres->problem()));
    QCOMPARE(cli({"ledger", "roles", "--apply", "--ledger", as("line1")}), 4);
    // Its label goes to a folder and is recorded through the schema's function.
    QVERIFY(QDir(m_folder->path()).mkpath("printed"));
    auto line1 = station({"COM1", "--batch", "roles", "--set", "name=Unit-{seq}", "--count", "1",
                          "--on-pass", "true", "--ledger", as("line1"), "--station", "line-1",
                          "--label", QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"),
                          "--printer", "dir:" + m_folder->filePath("printed")});
    operate({line1.get()}, [] { return false; });
    QCOMPARE(line1->finish(), 0);
    expectLedgerMatchesUnits(owner, "roles", line1->units());
    QVERIFY(QFile::exists(m_folder->filePath("printed/roles-1.zpl")));

    const auto refused = [&](const char *login, const QString &statement, const char *why) {
        return !m_postgres->sql(database, QLatin1String(login), statement) &&
               m_postgres->problem().contains(QLatin1String(why));
    };
    QVERIFY(refused("line1", "UPDATE units SET name = 'Other'", "permission denied"));
    QVERIFY(refused("line1", "DELETE FROM attempts", "permission denied"));
    const QString begin = QStringLiteral(
        "SELECT * FROM pairwick_begin_attempt('%1', 'roles', '0A:00:00:00:00:09', 'line-2', "
        "'COM9', '', '2026-12-09T10:00:00.000Z', '2026-12-09T09:50:00.000Z', '{}', 0, 0, '')");
    const QString finish = QStringLiteral(
        "SELECT pairwick_finish_attempt('line-2-attempt', '2026-12-09T10:01:00.000Z', 'passed', "
        "'', '', '', '{}', '', '[]', '[]', '[]')");
    QVERIFY2(m_postgres->sql(database, "line2", begin.arg("line-2-attempt")),
             qPrintable(m_postgres->problem()));
    QVERIFY(refused("line1", finish, "begun by another login"));
    QVERIFY2(m_postgres->sql(database, "line2", finish), qPrintable(m_postgres->problem()));

    QCOMPARE(ledger({"units", "--ledger", as("audit1")}).size(), 2);
    QCOMPARE(cli({"ledger", "check", "--ledger", as("audit1")}), 0);
    QVERIFY(refused("audit1", begin.arg("audit-attempt"), "permission denied"));
    const QJsonArray labels = ledger({"labels", "--ledger", as("audit1")});
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels[0]["reason"].toString(), QStringLiteral("pass"));
    const QString label = QStringLiteral(
        "SELECT pairwick_record_label('x', 'roles', 1, '', 'dir:x', '2026-12-09T10:00:00.000Z', 1, "
        "'pass', 'sent', 'line-2')");
    QVERIFY(refused("audit1", label, "permission denied"));
    QVERIFY(refused("line1",
                    "INSERT INTO labels (id, batch, seq, template_hash, printer, printed,"
                    " copies, reason, state, station)"
                    " VALUES ('y', 'roles', 1, '', '', '', 1, 'pass', 'sent', '')",
                    "permission denied"));

    // Only the owner brings an older schema up to date.
    QVERIFY(m_postgres->sql(database, "postgres", "UPDATE schema_version SET version = 4"));
    auto stale = station({"COM1", "--batch", "roles", "--ledger", as("line1")});
    QCOMPARE(stale->finish(), 4);
    QVERIFY(stale->errors().contains("only the ledger's owner may bring it to"));
}

void TestE2eStation::configFileAndCommandLine() {
    startUnits(2);
    const QString path = m_folder->filePath("line1.conf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "# line 1, both slots\n"
        "slot = COM1\n"
        "slot = COM2\n"
        "batch = configured\n"
        "set = name=Conf-{seq:3}\n"
        "set = pin=4321\n"
        "count = 9\n"
        "  station = bench-8   \n"
        "ledger = " +
        sqliteUrl().toUtf8() + "\n");
    file.close();
    auto run = station({"--config", path, "--count", "2", "--set", "name=Cli-{seq}"});
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QCOMPARE(run->units().size(), 2);
    QSet<QString> slotNames;
    for (const Json &unit : run->units()) {
        const Json settings = unit.value("settings").toObject();
        QCOMPARE(settings.value("name").toString(),
                 QStringLiteral("Cli-%1").arg(unit.value("seq").toInteger()));
        QCOMPARE(settings.value("pin").toString(), QStringLiteral("4321"));
        slotNames.insert(unit.value("slot").toString());
    }
    QCOMPARE(slotNames, (QSet<QString>{"COM1", "COM2"}));
    const QJsonArray units = ledger({"units", "--batch", "configured", "--ledger", sqliteUrl()});
    QCOMPARE(units.size(), 2);
    QCOMPARE(units[0].toObject().value("station").toString(), QStringLiteral("bench-8"));
}

// COM2's units fail (their PIN is refused) after COM1 passed one: its alarm is raised at its second
// failure and cleared at its first pass.
void TestE2eStation::slotAlarmRaisedAndCleared() {
    startUnits(2, {"--start-empty", "--error-on", "AT+PIN=9999"});
    const QString values = m_folder->filePath("pins.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("address,pin\n0A51:00:000002,9999\n0A51:00:000004,9999\n");
    file.close();
    Station run({"COM1", "COM2", "--batch", "alarm", "--set", "name=Alarm-{seq}", "--set",
                 "pin=1111", "--values", values, "--ledger", sqliteUrl(), "--slot-alarm", "2"},
                environment());
    const auto alarms = [&run] {
        run.newUnits();
        QList<Json> found;
        for (const Json &line : run.slotEvents()) {
            if (line.value("event").toString().startsWith("slot_alarm"))
                found.append(line);
        }
        return found;
    };
    m_units->command("in COM1");
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 1, PatienceMs);
    m_units->command("in COM2");
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 2, PatienceMs);
    m_units->command("next COM2");
    QTRY_COMPARE_WITH_TIMEOUT(alarms().size(), 1, PatienceMs);
    m_units->command("next COM2");
    QTRY_COMPARE_WITH_TIMEOUT(alarms().size(), 2, PatienceMs);
    const QList<Json> said = alarms();
    QCOMPARE(said[0].value("event").toString(), QStringLiteral("slot_alarm"));
    QCOMPARE(said[0].value("slot").toString(), QStringLiteral("COM2"));
    QCOMPARE(said[0].value("units").toArray(), QJsonArray({2, 3}));
    QCOMPARE(said[1].value("event").toString(), QStringLiteral("slot_alarm_cleared"));
    QCOMPARE(said[1].value("slot").toString(), QStringLiteral("COM2"));
    QCOMPARE(said[1].value("seq").toInt(), 4);
    QCOMPARE(run.units().last().value("result").toString(), QStringLiteral("passed"));

    // The same run in the line's yield, slot by slot, and its one kind of failure.
    const QJsonObject yield =
        ledger({"report", "--ledger", sqliteUrl(), "--by", "slot"}).first().toObject();
    QStringList bySlot;
    for (const QJsonValue &group : yield.value("groups").toArray()) {
        const QJsonObject slot = group.toObject();
        bySlot << QStringLiteral("%1 %2/%3/%4/%5")
                      .arg(slot.value("slot").toString())
                      .arg(slot.value("units").toInt())
                      .arg(slot.value("first_pass").toInt())
                      .arg(slot.value("passed").toInt())
                      .arg(slot.value("retests").toInt());
    }
    QCOMPARE(bySlot, QStringList({"COM1 1/1/1/0", "COM2 3/1/1/0"}));
    QCOMPARE(yield.value("failures").toArray(),
             QJsonArray({QJsonObject{
                 {"step", "write:pin"}, {"error", "error-reply"}, {"count", 2}, {"share", 1}}}));
}

// What systemd hears from a station run as a service: ready, its status, a watchdog ping from its
// event loop (none while the process is stopped) and stopping; and the journal's priorities on
// its lines, a failure a warning and a pass not.
void TestE2eStation::serviceNotificationsAndJournal() {
    startUnits(1, {"--error-on", "AT+PIN=9999"});
    const QString values = m_folder->filePath("pins.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("seq,pin\n2,9999\n");
    file.close();

    const QByteArray socketPath = m_folder->filePath("notify").toUtf8();
    const int listener = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    QStringList heard;
    const auto listen = [&] {
        char datagram[4096];
        ssize_t size;
        while ((size = ::recv(listener, datagram, sizeof datagram, 0)) > 0)
            heard.append(QString::fromUtf8(datagram, size));
        return heard.size();
    };

    const QString journal = m_folder->filePath("journal");
    QFile(journal).open(QIODevice::WriteOnly);
    struct stat journalFile {};
    QVERIFY(::stat(qPrintable(journal), &journalFile) == 0);
    QProcessEnvironment environment = this->environment();
    environment.insert("NOTIFY_SOCKET", QString::fromUtf8(socketPath));
    environment.insert("WATCHDOG_USEC", "200000");
    environment.insert("JOURNAL_STREAM",
                       QStringLiteral("%1:%2").arg(journalFile.st_dev).arg(journalFile.st_ino));
    Station run({"COM1", "--batch", "service", "--set", "name=Svc-{seq}", "--set", "pin=1111",
                 "--values", values, "--ledger", sqliteUrl(), "--station", "bench-9"},
                environment, journal);
    QTRY_VERIFY_WITH_TIMEOUT((listen(), heard.contains("READY=1")), PatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 1, PatienceMs);
    m_units->command("next COM1");
    QTRY_COMPARE_WITH_TIMEOUT(run.unitCount(), 2, PatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        (listen(),
         heard.filter(QRegularExpression("^STATUS=this station: 1 passed, 1 failed")).size() == 1),
        PatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT((listen(), heard.count("WATCHDOG=1") >= 3), PatienceMs);

    // A stopped process cannot ping: what arrives after it stopped was sent before.
    run.signal(SIGSTOP);
    const QString status = QStringLiteral("/proc/%1/stat").arg(run.pid());
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile stat(status);
            return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ");
        }(),
        PatienceMs);
    listen();
    const qsizetype beforeStop = heard.size();
    QTest::qWait(1000);
    QCOMPARE(listen(), beforeStop);
    run.signal(SIGCONT);
    QTRY_VERIFY_WITH_TIMEOUT(listen() > beforeStop && heard.last() == "WATCHDOG=1", PatienceMs);
    run.signal(SIGTERM);
    QCOMPARE(run.finish(), 130);
    listen();
    QVERIFY2(heard.contains("STOPPING=1"), qPrintable(heard.join(u'|')));
    ::close(listener);

    QFile lines(journal);
    QVERIFY(lines.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(lines.readAll());
    QVERIFY2(QRegularExpression("(^|\n)<6>COM1: PASS #1 ").match(text).hasMatch(),
             qPrintable(text));
    QVERIFY2(QRegularExpression("(^|\n)<4>COM1: FAIL ").match(text).hasMatch(), qPrintable(text));
    QVERIFY2(!QRegularExpression("(^|\n)[^<]").match(text.trimmed()).hasMatch(), qPrintable(text));
}

void TestE2eStation::badRulesSendNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("config");  // a file that gives the slot and the batch instead
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray none;
    QTest::newRow("unknown field")
        << QStringList{"--set", "name=A-{serial}"} << none << 2 << "serial";
    QTest::newRow("name too long at the first number")
        << QStringList{"--set", "name=ABCDEFGHIJKLMNOPQRSTUVWXYZ-{seq:4}", "--first", "9990"}
        << none << 2 << "name";
    QTest::newRow("station name that clears the screen")
        << QStringList{"--set", "name=A", "--station", "bench\x1b[2J"} << none << 2
        << "--station takes no control characters: bench\\x1b[2J";
    QTest::newRow("no rules for a new batch") << QStringList{} << none << 2 << "give its rules";
    QTest::newRow("operator name of 65 characters")
        << QStringList{"--set", "name=A", "--operator", QString(65, u'o')} << none << 2
        << "--operator takes a name of up to 64 characters, not 65";
    QTest::newRow("operator name with a control character")
        << QStringList{"--set", "name=A", "--operator", "Ana\tLima"} << none << 2
        << "--operator takes no control characters: Ana\\tLima";
    QTest::newRow("no attempt allowed") << QStringList{"--set", "name=A", "--max-attempts", "0"}
                                        << none << 2 << "--max-attempts takes 1 to 1000, not 0";
    QTest::newRow("attempts beyond a thousand")
        << QStringList{"--set", "name=A", "--max-attempts", "1001"} << none << 2
        << "--max-attempts takes 1 to 1000, not 1001";
    QTest::newRow("config: a bad operator") << QStringList{}
                                            << "slot = COM1\nbatch = refused\nset = name=A\n"
                                               "operator = " +
                                                   QByteArray(65, 'o') + "\n"
                                            << 2 << "refused.conf:4: --operator";
    QTest::newRow("password in the URL")
        << QStringList{"--set", "name=A", "--ledger", "postgresql://u:secret@/db"} << none << 4
        << "pgpass";
    QTest::newRow("a ledger it may not write")
        << QStringList{"--set", "name=A", "--ledger", "sqlite:/proc/ledger.sqlite"} << none << 4
        << "ledger";
    QTest::newRow("no server on the socket")
        << QStringList{"--set", "name=A", "--ledger", "postgresql:///none?host=/nonexistent"}
        << none << 4 << "none";
    const QByteArray slot = "slot = COM1\nbatch = refused\nset = name=A\n";
    QTest::newRow("config: unknown key") << QStringList{} << slot + "slots = COM2\n"
                                         << 2 << "refused.conf:4: unknown key \"slots\"";
    QTest::newRow("config: a slot twice") << QStringList{} << slot + "# again\nslot = COM1\n"
                                          << 2 << "refused.conf:5: ";
    QTest::newRow("config: password in the URL")
        << QStringList{} << slot + "ledger = postgresql://u:secret@/db\n"
        << 4 << "refused.conf:4: ";
    QTest::newRow("config: a bad count") << QStringList{} << slot + "count = many\n"
                                         << 2 << "refused.conf:4: --count";
    QTest::newRow("config: larger than 1 MiB")
        << QStringList{} << slot + QByteArray(1024 * 1024, '#') << 2 << "larger than 1024 KiB";
}

void TestE2eStation::badRulesSendNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, config);
    QFETCH(int, status);
    QFETCH(QString, message);
    startUnits(1);
    QStringList all = QStringList{"COM1", "--batch", "refused"} + arguments;
    if (!config.isEmpty()) {
        QFile file(m_folder->filePath("refused.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config);
        all = arguments + QStringList{"--config", file.fileName()};
    }
    if (!arguments.contains("--ledger") && !config.contains("ledger ="))
        all << "--ledger" << sqliteUrl();
    auto run = station(all);
    QCOMPARE(run->finish(), status);
    QVERIFY2(run->errors().contains(message.toUtf8()), run->errors().constData());
    QVERIFY(!m_units->standardOutput().contains("<- "));
}

// Four slots and their totals in a terminal of four rows and 40 columns: every redraw goes back
// no further than its own first line, and no line wraps, Chinese names included.
void TestE2eStation::liveViewStaysInAShortTerminal() {
    startUnits(4);
    const QStringList arguments{"COM1",     "COM2",      "COM3",      "COM4",
                                "--batch",  "short",     "--set",     "name=测试-{seq}",
                                "--ledger", sqliteUrl(), "--station", "bench-7"};
    QList<QByteArray> words{PAIRWICK_CLI_PATH, "station"};
    for (const QString &argument : arguments)
        words.append(argument.toUtf8());
    QList<QByteArray> settings;
    for (const QString &entry : environment().toStringList())
        settings.append(entry.toUtf8());
    // Pointers into the lists, made before the fork: the child only calls execve.
    const auto pointers = [](QList<QByteArray> &texts) {
        std::vector<char *> list;
        for (QByteArray &text : texts)
            list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char *> argv = pointers(words);
    std::vector<char *> envp = pointers(settings);
    winsize size{4, 40, 0, 0};
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, &size);
    QVERIFY(pid >= 0);
    if (pid == 0) {
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    QByteArray shown;
    const auto readFor = [&](int milliseconds) {
        const QDeadlineTimer deadline(milliseconds);
        char buffer[4096];
        while (!deadline.hasExpired()) {
            pollfd ready{terminal, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const ssize_t got = ::read(terminal, buffer, sizeof buffer);
            if (got <= 0)
                return;
            shown.append(buffer, got);
        }
    };
    QTRY_VERIFY_WITH_TIMEOUT((readFor(100), shown.count("PASS") >= 4), PatienceMs);
    ::kill(pid, SIGTERM);
    readFor(1000);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    ::close(terminal);

    static const QRegularExpression up(QStringLiteral("\x1b\\[(\\d+)A"));
    for (auto match = up.globalMatch(QString::fromUtf8(shown)); match.hasNext();)
        QVERIFY2(match.next().captured(1).toInt() <= 3, shown.constData());
    static const QRegularExpression controls(QStringLiteral("\x1b\\[\\d*[A-Za-z]|\r"));
    for (const QByteArray &line : shown.split('\n')) {
        const QString text = QString::fromUtf8(line).remove(controls);
        // A Chinese character takes two columns.
        const auto wide = std::count_if(text.cbegin(), text.cend(), [](QChar c) {
            return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
        });
        QVERIFY2(text.size() + wide < 40, qPrintable(text));
    }
    QVERIFY2(shown.contains("more not shown"), shown.constData());
}

void TestE2eStation::emptySlotsSleep_data() {
    QTest::addColumn<QString>("unplug");
    QTest::newRow("by-path links gone with their folders") << QStringLiteral("udev");
    QTest::newRow("links re-pointed at nothing") << QStringLiteral("dangle");
}

// Slots whose units were taken out sleep until the next one comes, while the ledger's journal
// and other files come and go beside their links. Told by the CPU time the station takes, never
// by its share of the wall clock: a slot that spins on its own wake-ups takes all it gets, a
// sleeping station a tick or two.
void TestE2eStation::emptySlotsSleep() {
    QFETCH(QString, unplug);
    constexpr int Slots = 8;
    SimulatorProcess &units = startUnits(Slots, {"--unplug", unplug});
    QStringList arguments{"--batch",  "idle",      "--set",     "name=Idle-{seq}",
                          "--ledger", sqliteUrl(), "--station", "bench-8"};
    for (int slot = 1; slot <= Slots; ++slot)
        arguments.append(QStringLiteral("COM%1").arg(slot));
    auto run = station(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                 for (const Json &unit : run->newUnits())
                                     units.command("out " + unit.value("slot").toString().toUtf8());
                                 return run->units().size() == Slots;
                             }()),
                             PatienceMs);
    const auto allWaiting = [&] {
        run->newUnits();
        std::map<QString, QString> states;
        for (const Json &event : run->slotEvents())
            states[event.value("slot").toString()] = event.value("state").toString();
        return std::count_if(states.cbegin(), states.cend(),
                             [](const auto &slot) { return slot.second == "waiting"; }) == Slots;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allWaiting(), PatienceMs);

    const qint64 before = run->cpuTicks();
    for (int change = 0; change < 30; ++change) {
        QFile other(m_folder->filePath(QStringLiteral("other-%1").arg(change)));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QVERIFY(other.remove());
        QTest::qWait(100);
    }
    const qint64 taken = run->cpuTicks() - before;
    // A twentieth of a core over the three seconds or more. Spinning slots took over a third of a
    // core on a machine with its two cores shared by seven busy processes, and a sleeping station
    // takes a tick or two at most.
    QVERIFY2(taken >= 0 && taken < 3 * ::sysconf(_SC_CLK_TCK) / 20,
             qPrintable(QStringLiteral("%1 ticks").arg(taken)));

    // Its link leads to a terminal again: the slot wakes for it.
    units.command("in COM3");
    QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), Slots + 1, PatienceMs);
    QCOMPARE(run->units().constLast().value("slot").toString(), QStringLiteral("COM3"));
    QCOMPARE(run->units().constLast().value("result").toString(), QStringLiteral("passed"));
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
}

// What a scraper reads after a few units counts them and passes promtool's check; the endpoint
// turns away what is not a scrape, and a second station on its port ends before any unit.
void TestE2eStation::metricsForPrometheus() {
    const QString promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
    QVERIFY2(!promtool.isEmpty(), "no promtool (scripts/install-deps test installs prometheus)");
    startUnits(2);
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    const QStringList rules{
        "--batch",  "watched \"q\"", "--set",     "name=W-{seq}",
        "--ledger", sqliteUrl(),     "--metrics", QStringLiteral(":%1").arg(port)};
    auto run = station(QStringList{"COM1", "--station", "bench-9"} + rules);
    for (int unit = 1; unit <= 3; ++unit) {
        QTRY_COMPARE_WITH_TIMEOUT(run->unitCount(), unit, PatienceMs);
        if (unit < 3)
            m_units->command("next COM1");
    }
    const auto passed = std::count_if(run->units().cbegin(), run->units().cend(), [](auto &unit) {
        return unit.value("result").toString() == QStringLiteral("passed");
    });
    QVERIFY(passed > 0);
    const QByteArray answer = httpExchange(port, "GET /metrics HTTP/1.1\r\nHost: a\r\n\r\n");
    QVERIFY2(answer.startsWith("HTTP/1.1 200 OK\r\n"), answer.constData());
    const QByteArray body = answer.mid(answer.indexOf("\r\n\r\n") + 4);
    QVERIFY2(body.contains(QByteArray("\npairwick_units_total{station=\"bench-9\",batch=\"watched "
                                      "\\\"q\\\"\",result=\"passed\"} ") +
                           QByteArray::number(passed) + '\n'),
             body.constData());
    QProcess check;
    check.start(promtool, {"check", "metrics"});
    check.write(body);
    check.closeWriteChannel();
    QVERIFY(check.waitForFinished(PatienceMs));
    const QByteArray said = check.readAllStandardOutput() + check.readAllStandardError();
    QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0 && said.isEmpty(),
             said.constData());

    QVERIFY(httpExchange(port, "POST /metrics HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 405 "));
    const QByteArray hugeField = "X: " + QByteArray(9000, 'x') + "\r\n";
    QVERIFY(httpExchange(port, "GET /metrics HTTP/1.1\r\n" + hugeField + "\r\n")
                .startsWith("HTTP/1.1 431 "));
    auto second = station(QStringList{"COM2", "--station", "bench-10"} + rules);
    QCOMPARE(second->finish(), 2);
    QVERIFY2(second->errors().contains("already in use"), second->errors().constData());
    QVERIFY(m_units->standardOutput().contains("COM1 <- "));
    QVERIFY(!m_units->standardOutput().contains("COM2 <- "));
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
}

// Each passed unit's label reaches a raw label printer (the test's listener) once, in the order of
// the passes, also those that waited while the printer was away, and reads back as the ledger
// holds the unit, a name of ZPL commands included; the unit that failed gets none.
void TestE2eStation::labelsOfPassesOnceInOrderThroughAnOutage() {
    const QString missing = pairwick::labels::test::missingReaders();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    const QString values = m_folder->filePath("values.csv");
    QFile file(values);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("seq,pin\n2,9999\n");
    file.close();
    startUnits(2, {"--error-on", "AT+PIN=9999"});
    // Away: a port nobody listens on refuses every connection.
    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    const quint16 port = printer.serverPort();
    printer.close();
    QList<QByteArray> printed;
    QObject::connect(&printer, &QTcpServer::newConnection, &printer, [&] {
        while (QTcpSocket *peer = printer.nextPendingConnection()) {
            QObject::connect(peer, &QTcpSocket::disconnected, peer, [&printed, peer] {
                printed.append(peer->property("label").toByteArray() + peer->readAll());
                peer->deleteLater();
            });
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                peer->setProperty("label", peer->property("label").toByteArray() + peer->readAll());
            });
        }
    });
    const QString url = sqliteUrl();
    // The documents' example, its code holding the operator too.
    QFile example(QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QString zpl = m_folder->filePath("tags.zpl");
    QFile withOperator(zpl);
    QVERIFY(withOperator.open(QIODevice::WriteOnly));
    withOperator.write(example.readAll().replace("QA,{name}^FS", "QA,{name} {operator}^FS"));
    withOperator.close();
    auto run = station({"COM1",       "COM2",
                        "--batch",    "tags",
                        "--set",      "name=U{seq}^XZ^XA^FDx~JR",
                        "--set",      "pin={random:4}",
                        "--values",   values,
                        "--count",    "4",
                        "--ledger",   url,
                        "--label",    zpl,
                        "--operator", "Ana ^FS",
                        "--printer",  QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    const auto passed = [&] {
        return std::count_if(run->units().cbegin(), run->units().cend(), [](const Json &unit) {
            return unit.value("result").toString() == "passed";
        });
    };
    const auto awayWithWaiting = [&](int waiting) {
        return std::any_of(
            run->slotEvents().cbegin(), run->slotEvents().cend(), [waiting](const Json &line) {
                return line.value("event").toString() == "labels" &&
                       line.value("waiting").toInt() >= waiting && !line.value("printer").isNull();
            });
    };
    operate({run.get()}, [&] { return passed() >= 2 && awayWithWaiting(2); });
    QVERIFY2(awayWithWaiting(2), run->errors().constData());
    QVERIFY(printer.listen(QHostAddress::LocalHost, port));
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 4, PatienceMs);

    // In the order the station reported the passes, each read back as the ledger holds it.
    std::map<qint64, QString> names;
    for (const QJsonValue &unit : ledger({"units", "--batch", "tags", "--ledger", url})) {
        names[unit["seq"].toInteger()] = unit["name"].toString();
        QCOMPARE(unit["labels"].toInt(), unit["state"].toString() == "passed" ? 1 : 0);
    }
    QCOMPARE(names.size(), std::size_t(5));
    QList<QString> expected;
    for (const Json &unit : run->units()) {
        if (unit.value("result").toString() == "passed")
            expected.append(names.at(unit.value("seq").toInteger()) + QStringLiteral(" Ana ^FS"));
    }
    QList<QString> read;
    for (const QByteArray &label : printed) {
        QString problem;
        read.append(
            QString::fromUtf8(pairwick::labels::test::qrOfZpl(label, m_folder->path(), &problem)));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    QCOMPARE(read, expected);
    QVERIFY(read.contains(QStringLiteral("U1^XZ^XA^FDx~JR Ana ^FS")));
    QVERIFY(!read.contains(names.at(2) + QStringLiteral(" Ana ^FS")));

    const QJsonArray labels = ledger({"labels", "--batch", "tags", "--ledger", url});
    QCOMPARE(labels.size(), 4);
    QCOMPARE(labels[0]["reason"].toString(), QStringLiteral("pending after outage"));
    for (const QJsonValue &label : labels) {
        QCOMPARE(label["state"].toString(), QStringLiteral("sent"));
        QVERIFY(label["seq"].toInteger() != 2);
    }
}

// Labels that wait for a printer outlast a stop, which says so, and a kill: the next start prints
// them first, in order, each once.
void TestE2eStation::labelsWaitingSurviveAStopAndAKill() {
    startUnits(1);
    QTcpServer printer;
    QVERIFY(printer.listen(QHostAddress::LocalHost));
    const quint16 port = printer.serverPort();
    printer.close();
    const QString url = sqliteUrl();
    const auto labelled = [&](const char *count) {
        return station({"COM1", "--batch", "kept", "--set", "name=K{seq}", "--count", count,
                        "--ledger", url, "--label",
                        QStringLiteral(PAIRWICK_DOCS_DIR "/label-example.zpl"), "--printer",
                        QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
    };
    auto run = labelled("3");
    operate({run.get()}, [&] { return run->unitCount() == 1; });
    run->signal(SIGTERM);
    QCOMPARE(run->finish(), 130);
    QVERIFY2(run->errors().contains("1 labels were not printed yet"), run->errors().constData());
    m_units->command("next COM1");
    run = labelled("3");
    operate({run.get()}, [&] { return run->unitCount() == 1; });
    const auto twoWait = [&] {
        run->newUnits();
        return std::any_of(run->slotEvents().cbegin(), run->slotEvents().cend(),
                           [](const Json &line) {
                               return line.value("event").toString() == "labels" &&
                                      line.value("waiting").toInt() == 2;
                           });
    };
    QTRY_VERIFY_WITH_TIMEOUT(twoWait(), PatienceMs);
    run->signal(SIGKILL);
    run->finish();
    m_units->command("next COM1");

    QList<QByteArray> printed;
    QObject::connect(&printer, &QTcpServer::newConnection, &printer, [&] {
        while (QTcpSocket *peer = printer.nextPendingConnection()) {
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer] {
                peer->setProperty("label", peer->property("label").toByteArray() + peer->readAll());
            });
            QObject::connect(peer, &QTcpSocket::disconnected, peer, [&printed, peer] {
                printed.append(peer->property("label").toByteArray() + peer->readAll());
                peer->deleteLater();
            });
        }
    });
    QVERIFY(printer.listen(QHostAddress::LocalHost, port));
    run = labelled("3");
    operate({run.get()}, [] { return false; });
    QCOMPARE(run->finish(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 3, PatienceMs);
    QStringList names;
    for (const QByteArray &label : printed) {
        QString problem;
        names.append(
            QString::fromUtf8(pairwick::labels::test::qrOfZpl(label, m_folder->path(), &problem)));
    }
    // A unit the stop cut short took a number too: the passes, in the order of their numbers.
    QStringList passed;
    std::map<qint64, QString> expected;
    for (const QJsonValue &unit : ledger({"units", "--batch", "kept", "--ledger", url})) {
        if (unit["state"].toString() != "passed")
            continue;
        passed.append(unit["name"].toString());
        expected[unit["seq"].toInteger()] =
            passed.size() < 3 ? QStringLiteral("pending after outage") : QStringLiteral("pass");
    }
    QCOMPARE(names, passed);
    std::map<qint64, QString> reasons;
    for (const QJsonValue &label : ledger({"labels", "--batch", "kept", "--ledger", url}))
        reasons[label["seq"].toInteger()] = label["reason"].toString();
    QCOMPARE(reasons, expected);
}

QTEST_GUILESS_MAIN(TestE2eStation)
#include "tst_e2e_station.moc"
