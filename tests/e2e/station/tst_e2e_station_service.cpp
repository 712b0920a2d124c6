// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine hears from a station it runs: systemd's notifications and the journal's
// priorities, next to no CPU while the slots are empty, and what a Prometheus scraper reads.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <map>

#include "tst_e2e_station.h"

namespace {

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
