// SPDX-License-Identifier: GPL-3.0-or-later
#include "rawport.h"
#include "simulatorprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>

using namespace std::chrono_literals;

namespace pairwick::adaptersim::test {

struct Exchange {
    QByteArray command;
    // Empty when the adapter must stay silent.
    QByteArray reply;
};
using Script = QList<Exchange>;

}  // namespace pairwick::adaptersim::test

Q_DECLARE_METATYPE(pairwick::adaptersim::test::Script)

namespace pairwick::adaptersim::test {

namespace {

const QByteArray factoryBindReply =
    "AT+BINDADDR?\r\n+BINDADDR0:0000:00:000000\r\n+BINDADDR1:\r\n+BINDADDR2:\r\n"
    "+BINDADDR3:\r\n+BINDADDR4:\r\n+BINDADDR5:\r\n+BINDADDR6:\r\n+BINDADDR7:\r\nOK\r\n";
const QByteArray emptyBindSlots =
    "\r\n+BINDADDR1:\r\n+BINDADDR2:\r\n+BINDADDR3:\r\n+BINDADDR4:\r\n+BINDADDR5:\r\n"
    "+BINDADDR6:\r\n+BINDADDR7:";
const QByteArray gb18030Name = "\xB2\xE2\xCA\xD4\xC9\xE8\xB1\xB8";

Exchange accepted(const QByteArray &command) {
    return {command, command + "\r\nOK\r\n"};
}

Exchange refused(const QByteArray &command) {
    return {command, command + "\r\nERROR\r\n"};
}

Exchange answered(const QByteArray &query, const QByteArray &valueLine) {
    return {query, query + "\r\n" + valueLine + "\r\nOK\r\n"};
}

Exchange unanswered(const QByteArray &command) {
    return {command, {}};
}

const Script factoryQueries{
    answered("AT+DEVICENAME?", "PairwickSim"),
    answered("AT+VER?", "SIM-1.2.0"),
    answered("AT+UART?", "9600,8,N,1"),
    answered("AT+ROLE?", "0"),
    answered("AT+MSGENABLE?", "+MSGEN: EN"),
    answered("AT+PIN?", "+PIN CODE: 1234"),
    answered("AT+ADDR?", "+LOCALADDR:0017:EA:0911CD"),
    {"AT+BINDADDR?", factoryBindReply},
};

bool isLinkGone(const QString &path) {
    return !QFileInfo(path).isSymLink() && !QFileInfo::exists(path);
}

}  // namespace

class TestAdapterSim : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void factoryReplies_data();
    void factoryReplies();
    void uartValuesSitAtTheCutPositions_data();
    void uartValuesSitAtTheCutPositions();
    void commandScripts_data();
    void commandScripts();
    void lineEndings_data();
    void lineEndings();
    void noiseNeverStopsTheAdapter();
    void unreadRepliesAreCapped();
    void reopenedPortKeepsState();

    void garbageReply();
    void lateTail();
    void floodKeepsAnswering();
    void vanishOn();
    void terminationSignal_data();
    void terminationSignal();

    void portMapFolder_data();
    void portMapFolder();
    void existingEntry_data();
    void existingEntry();
    void badArguments_data();
    void badArguments();
    void helpListsSwitchesAndFactoryState();
    void logLines();
    void quietPrintsOnlyReady();

private:
    QStringList inFolder(const QStringList &arguments) const;
    bool startAndOpen(const QStringList &arguments);
    void runScript(const Script &script);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SimulatorProcess> m_simulator;
    RawPort m_port;
};

void TestAdapterSim::init() {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_simulator = std::make_unique<SimulatorProcess>();
}

void TestAdapterSim::cleanup() {
    m_port.close();
    m_simulator.reset();
    m_folder.reset();
}

QStringList TestAdapterSim::inFolder(const QStringList &arguments) const {
    return QStringList{QStringLiteral("--ports-dir"), m_folder->path()} + arguments;
}

bool TestAdapterSim::startAndOpen(const QStringList &arguments) {
    if (!m_simulator->start(inFolder(arguments))) {
        qWarning("simulator did not start: %s", m_simulator->standardError().constData());
        return false;
    }
    return m_port.open(m_simulator->linkPath());
}

void TestAdapterSim::runScript(const Script &script) {
    for (const Exchange &step : script) {
        QCOMPARE(m_port.exchange(step.command), step.reply);
    }
}

void TestAdapterSim::factoryReplies_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    // Where the tool cuts the value: from this position (counted from 1), the reply's length
    // less the fixed part.
    QTest::addColumn<int>("cutFrom");
    QTest::addColumn<int>("fixedPart");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("probe") << QByteArray("AT") << QByteArray("AT\r\nOK\r\n") << 5 << 6
                           << QByteArray("OK");
    QTest::newRow("device name") << QByteArray("AT+DEVICENAME?")
                                 << QByteArray("AT+DEVICENAME?\r\nPairwickSim\r\nOK\r\n") << 17
                                 << 22 << QByteArray("PairwickSim");
    QTest::newRow("version") << QByteArray("AT+VER?")
                             << QByteArray("AT+VER?\r\nSIM-1.2.0\r\nOK\r\n") << 10 << 15
                             << QByteArray("SIM-1.2.0");
    QTest::newRow("uart") << QByteArray("AT+UART?")
                          << QByteArray("AT+UART?\r\n9600,8,N,1\r\nOK\r\n") << 11 << 22
                          << QByteArray("9600");
    QTest::newRow("role") << QByteArray("AT+ROLE?") << QByteArray("AT+ROLE?\r\n0\r\nOK\r\n") << 11
                          << 16 << QByteArray("0");
    QTest::newRow("prompt messages")
        << QByteArray("AT+MSGENABLE?") << QByteArray("AT+MSGENABLE?\r\n+MSGEN: EN\r\nOK\r\n") << 24
        << 29 << QByteArray("EN");
    QTest::newRow("pin") << QByteArray("AT+PIN?")
                         << QByteArray("AT+PIN?\r\n+PIN CODE: 1234\r\nOK\r\n") << 21 << 26
                         << QByteArray("1234");
    QTest::newRow("local address")
        << QByteArray("AT+ADDR?") << QByteArray("AT+ADDR?\r\n+LOCALADDR:0017:EA:0911CD\r\nOK\r\n")
        << 22 << 27 << QByteArray("0017:EA:0911CD");
    QTest::newRow("bound address") << QByteArray("AT+BINDADDR?") << factoryBindReply << 26 << 122
                                   << QByteArray("0000:00:000000");
}

void TestAdapterSim::factoryReplies() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(int, cutFrom);
    QFETCH(int, fixedPart);
    QFETCH(QByteArray, value);
    QVERIFY(startAndOpen({}));

    const QByteArray received = m_port.exchange(command);
    QCOMPARE(received, reply);
    QCOMPARE(received.mid(cutFrom - 1, received.size() - fixedPart), value);
}

void TestAdapterSim::uartValuesSitAtTheCutPositions_data() {
    QTest::addColumn<Script>("settings");
    QTest::addColumn<QByteArray>("baud");
    QTest::addColumn<char>("parity");
    QTest::addColumn<char>("stop");

    QTest::newRow("factory") << Script{} << QByteArray("9600") << 'N' << '1';
    QTest::newRow("changed") << Script{accepted("AT+UARTBAUDRATE=115200"),
                                       accepted("AT+UARTPARITY=E"), accepted("AT+UARTSTOP=2")}
                             << QByteArray("115200") << 'E' << '2';
}

void TestAdapterSim::uartValuesSitAtTheCutPositions() {
    QFETCH(Script, settings);
    QFETCH(QByteArray, baud);
    QFETCH(char, parity);
    QFETCH(char, stop);
    QVERIFY(startAndOpen({}));
    runScript(settings);

    const QByteArray reply = m_port.exchange("AT+UART?");
    const qsizetype length = reply.size();
    QVERIFY(reply.endsWith("OK\r\n"));
    QCOMPARE(reply.mid(10, length - 22), baud);
    QCOMPARE(reply.at(length - 9), parity);
    QCOMPARE(reply.at(length - 7), stop);
}

void TestAdapterSim::commandScripts_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Script>("script");

    const QByteArray utf8Name = "B\xC3\xBCro \xE5\x8C\x97";
    QTest::newRow("device name in UTF-8")
        << QStringList{}
        << Script{accepted("AT+DEVICENAME=" + utf8Name), answered("AT+DEVICENAME?", utf8Name)};
    QTest::newRow("device name with inner space")
        << QStringList{}
        << Script{accepted("AT+DEVICENAME=Dev 1"), answered("AT+DEVICENAME?", "Dev 1")};
    QTest::newRow("empty device name")
        << QStringList{} << Script{accepted("AT+DEVICENAME="), answered("AT+DEVICENAME?", "")};
    for (const char *rate : {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600",
                             "115200", "230400", "256000", "460800"}) {
        QTest::addRow("baud %s", rate) << QStringList{}
                                       << Script{accepted(QByteArray("AT+UARTBAUDRATE=") + rate),
                                                 answered("AT+UART?", rate + QByteArray(",8,N,1"))};
    }
    QTest::newRow("parity odd, even, none")
        << QStringList{} << Script{accepted("AT+UARTPARITY=O"), answered("AT+UART?", "9600,8,O,1"),
                                   accepted("AT+UARTPARITY=E"), answered("AT+UART?", "9600,8,E,1"),
                                   accepted("AT+UARTPARITY=N"), answered("AT+UART?", "9600,8,N,1")};
    QTest::newRow("stop bits") << QStringList{}
                               << Script{accepted("AT+UARTSTOP=2"),
                                         answered("AT+UART?", "9600,8,N,2"),
                                         accepted("AT+UARTSTOP=1"),
                                         answered("AT+UART?", "9600,8,N,1")};
    QTest::newRow("role") << QStringList{}
                          << Script{accepted("AT+ROLE=1"), answered("AT+ROLE?", "1"),
                                    accepted("AT+ROLE=0"), answered("AT+ROLE?", "0")};
    QTest::newRow("prompt messages reported as DI and EN")
        << QStringList{}
        << Script{accepted("AT+MSGENABLE=0"), answered("AT+MSGENABLE?", "+MSGEN: DI"),
                  accepted("AT+MSGENABLE=1"), answered("AT+MSGENABLE?", "+MSGEN: EN")};
    QTest::newRow("pin") << QStringList{}
                         << Script{accepted("AT+PIN=987654"),
                                   answered("AT+PIN?", "+PIN CODE: 987654")};
    QTest::newRow("bound address set with index 0, read without")
        << QStringList{}
        << Script{accepted("AT+BINDADDR0=1234:56:789ABC"),
                  answered("AT+BINDADDR?", "+BINDADDR0:1234:56:789ABC" + emptyBindSlots)};

    const Script uartUnchanged{answered("AT+UART?", "9600,8,N,1")};
    for (const char *command :
         {"AT+UARTBAUDRATE=9601", "AT+UARTBAUDRATE=9600 ", "AT+UARTBAUDRATE=", "AT+UARTPARITY=n",
          "AT+UARTPARITY=X", "AT+UARTPARITY=", "AT+UARTSTOP=3", "AT+UARTSTOP=12"}) {
        QTest::addRow("refused %s", command)
            << QStringList{} << Script{refused(command)} + uartUnchanged;
    }
    for (const char *command : {"AT+ROLE=2", "AT+ROLE="}) {
        QTest::addRow("refused %s", command)
            << QStringList{} << Script{refused(command), answered("AT+ROLE?", "0")};
    }
    for (const char *command : {"AT+MSGENABLE=EN", "AT+MSGENABLE=2"}) {
        QTest::addRow("refused %s", command)
            << QStringList{} << Script{refused(command), answered("AT+MSGENABLE?", "+MSGEN: EN")};
    }
    for (const char *command : {"AT+FOO", "at", "AT+VER", "AT+VER? ", " AT", "AT+BINDADDR=1",
                                "AT+BINDADDR1=1", "at+role?", "\xFF\xFE\x01"}) {
        QTest::addRow("unknown %s", command) << QStringList{} << Script{refused(command)};
    }

    QTest::newRow("default restores the factory state")
        << QStringList{}
        << Script{accepted("AT+DEVICENAME=Other"), accepted("AT+UARTBAUDRATE=460800"),
                  accepted("AT+UARTPARITY=O"),     accepted("AT+UARTSTOP=2"),
                  accepted("AT+ROLE=1"),           accepted("AT+MSGENABLE=0"),
                  accepted("AT+PIN=0000"),         accepted("AT+BINDADDR0=1:2:3"),
                  accepted("AT+DEFAULT")} +
               factoryQueries;
    QTest::newRow("start as master, default back to slave")
        << QStringList{"--initial-role", "1"}
        << Script{answered("AT+ROLE?", "1"), accepted("AT+DEFAULT"), answered("AT+ROLE?", "0")};
    QTest::newRow("GB18030 name") << QStringList{"--name-gb18030"}
                                  << Script{answered("AT+DEVICENAME?", gb18030Name),
                                            answered("AT+VER?", "SIM-1.2.0")};

    QTest::newRow("silent on one command only")
        << QStringList{"--silent-on", "AT+VER?"}
        << Script{unanswered("AT+VER?"), accepted("AT"), answered("AT+PIN?", "+PIN CODE: 1234")};
    QTest::newRow("silent on two commands")
        << QStringList{"--silent-on", "AT+VER?", "--silent-on", "AT+PIN?"}
        << Script{unanswered("AT+VER?"), unanswered("AT+PIN?"),
                  answered("AT+ADDR?", "+LOCALADDR:0017:EA:0911CD")};
    QTest::newRow("silenced command still takes effect")
        << QStringList{"--silent-on", "AT+ROLE=1"}
        << Script{unanswered("AT+ROLE=1"), answered("AT+ROLE?", "1")};
    QTest::newRow("lowercase ok") << QStringList{"--lowercase-ok"}
                                  << Script{{"AT", "AT\r\nok\r\n"},
                                            {"AT+ROLE?", "AT+ROLE?\r\n0\r\nok\r\n"},
                                            {"AT+ROLE=1", "AT+ROLE=1\r\nok\r\n"},
                                            refused("AT+ROLE=5")};
    QTest::newRow("no echo on a query")
        << QStringList{"--no-echo", "AT+ROLE?"}
        << Script{{"AT+ROLE?", "0\r\nOK\r\n"}, answered("AT+VER?", "SIM-1.2.0")};
    QTest::newRow("no echo on the probe")
        << QStringList{"--no-echo", "AT"} << Script{{"AT", "OK\r\n"}};
    QTest::newRow("no echo on one exact set line")
        << QStringList{"--no-echo", "AT+PIN=1"}
        << Script{{"AT+PIN=1", "OK\r\n"}, accepted("AT+PIN=12")};
    QTest::newRow("wrong tokens in the uart reply")
        << QStringList{"--wrong-token", "AT+UART?"}
        << Script{answered("AT+UART?", "9601,8,n,3"), answered("AT+ROLE?", "0")};
    QTest::newRow("wrong role token")
        << QStringList{"--wrong-token", "AT+ROLE?"} << Script{answered("AT+ROLE?", "2")};
    QTest::newRow("wrong prompt token") << QStringList{"--wrong-token", "AT+MSGENABLE?"}
                                        << Script{answered("AT+MSGENABLE?", "+MSGEN: en")};
    QTest::newRow("stray character after free-text values")
        << QStringList{"--wrong-token", "AT+VER?",     "--wrong-token", "AT+DEVICENAME?",
                       "--wrong-token", "AT+PIN?",     "--wrong-token", "AT+ADDR?",
                       "--wrong-token", "AT+BINDADDR?"}
        << Script{answered("AT+VER?", "SIM-1.2.0X"), answered("AT+DEVICENAME?", "PairwickSimX"),
                  answered("AT+PIN?", "+PIN CODE: 1234X"),
                  answered("AT+ADDR?", "+LOCALADDR:0017:EA:0911CDX"),
                  answered("AT+BINDADDR?", "+BINDADDR0:0000:00:000000X" + emptyBindSlots)};
}

void TestAdapterSim::commandScripts() {
    QFETCH(QStringList, arguments);
    QFETCH(Script, script);
    QVERIFY(startAndOpen(arguments));
    runScript(script);
}

void TestAdapterSim::lineEndings_data() {
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QByteArray>("replies");

    const QByteArray probeReply = "AT\r\nOK\r\n";
    QTest::newRow("CR LF") << QByteArrayList{"AT\r\n"} << probeReply;
    QTest::newRow("bare LF") << QByteArrayList{"AT\n"} << probeReply;
    QTest::newRow("bare CR") << QByteArrayList{"AT\r"} << probeReply;
    QTest::newRow("CR and LF in separate writes") << QByteArrayList{"AT\r", "\n"} << probeReply;
    QTest::newRow("command in pieces")
        << QByteArrayList{"A", "T+VE", "R?\r\n"} << QByteArray("AT+VER?\r\nSIM-1.2.0\r\nOK\r\n");
    QTest::newRow("blank lines carry no command")
        << QByteArrayList{"\r\n\n\r\rAT\r\n"} << probeReply;
    QTest::newRow("two commands in one write")
        << QByteArrayList{"AT\r\nAT+ROLE?\r\n"} << probeReply + "AT+ROLE?\r\n0\r\nOK\r\n";
    QTest::newRow("LF then CR ends two lines")
        << QByteArrayList{"AT\n\rAT\r\n"} << probeReply + probeReply;
    const QByteArray longest(4096, 'A');
    QTest::newRow("line of 4096 bytes is a line")
        << QByteArrayList{longest + "\r\n"} << longest + "\r\nERROR\r\n";
    QTest::newRow("line of 4097 bytes is dropped")
        << QByteArrayList{longest + "A\r\nAT\r\n"} << probeReply;
    QTest::newRow("huge line is dropped")
        << QByteArrayList{QByteArray(200000, 'B'), "\r\nAT\r\n"} << probeReply;
}

void TestAdapterSim::lineEndings() {
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArray, replies);
    QVERIFY(startAndOpen({}));

    for (const QByteArray &bytes : writes) {
        QVERIFY(m_port.write(bytes));
        QTest::qWait(30);
    }
    QCOMPARE(m_port.readReply(), replies);
}

void TestAdapterSim::noiseNeverStopsTheAdapter() {
    QVERIFY(startAndOpen({"--quiet"}));
    QRandomGenerator random(20240607);
    for (int chunk = 0; chunk < 64; ++chunk) {
        QByteArray noise(4096, '\0');
        for (char &byte : noise) {
            byte = char(random.bounded(256));
        }
        QVERIFY(m_port.write(noise));
        m_port.readUntil([](const QByteArray &) { return false; }, 5ms);
    }
    QVERIFY(m_port.write("\r\n"));
    m_port.readReply();

    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    QVERIFY(m_simulator->isRunning());
}

void TestAdapterSim::unreadRepliesAreCapped() {
    QVERIFY(startAndOpen({"--quiet"}));
    constexpr int lines = 10000;
    // Far more than the simulator holds back for a reader that does not read.
    QVERIFY(m_port.write(QByteArray("AT+BINDADDR?\r\n").repeated(lines)));
    const QByteArray received = m_port.readReply(1000ms);

    const qsizetype replies = received.size() / factoryBindReply.size();
    QVERIFY(replies > 0);
    QVERIFY(replies < lines);
    QCOMPARE(received, factoryBindReply.repeated(replies));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
}

void TestAdapterSim::reopenedPortKeepsState() {
    QVERIFY(startAndOpen({}));
    QCOMPARE(m_port.exchange("AT+PIN=4321"), QByteArray("AT+PIN=4321\r\nOK\r\n"));
    for (int round = 0; round < 5; ++round) {
        m_port.close();
        QVERIFY(m_port.open(m_simulator->linkPath()));
        QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    }
    QCOMPARE(m_port.exchange("AT+PIN?"), QByteArray("AT+PIN?\r\n+PIN CODE: 4321\r\nOK\r\n"));
}

void TestAdapterSim::garbageReply() {
    QVERIFY(startAndOpen({"--garbage", "AT+VER?"}));

    const QByteArray reply = m_port.exchange("AT+VER?");
    QCOMPARE(reply.size(), 16);
    QVERIFY(std::all_of(reply.begin(), reply.end(),
                        [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; }));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
}

void TestAdapterSim::lateTail() {
    QVERIFY(startAndOpen({"--late-tail", "AT+VER?"}));

    QCOMPARE(m_port.exchange("AT+VER?"), QByteArray("AT+VER?\r\nSIM-1.2.0\r\n"));
    QCOMPARE(m_port.readReply(800ms), QByteArray());
    QCOMPARE(m_port.readReply(1500ms), QByteArray("OK\r\n"));
}

void TestAdapterSim::floodKeepsAnswering() {
    constexpr qsizetype floodBytes = 4 << 20;
    QVERIFY(startAndOpen({"--flood", QString::number(floodBytes)}));
    const auto isNoise = [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; };
    const auto noiseIn = [&](const QByteArray &bytes) {
        return std::count_if(bytes.begin(), bytes.end(), isNoise);
    };

    // The flood begins only after the first line.
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));
    QByteArray stream =
        m_port.readUntil([](const QByteArray &bytes) { return !bytes.isEmpty(); }, 2000ms);
    QVERIFY(!stream.isEmpty());

    const QByteArray reply = "AT+VER?\r\nSIM-1.2.0\r\nOK\r\n";
    QVERIFY(m_port.write("AT+VER?\r\n"));
    // Counted as the bytes come in: rescanning megabytes on every read would crawl.
    qsizetype scanned = 0;
    qsizetype noise = noiseIn(stream);
    bool replySeen = false;
    stream += m_port.readUntil(
        [&](const QByteArray &bytes) {
            noise += std::count_if(bytes.begin() + scanned, bytes.end(), isNoise);
            replySeen = replySeen ||
                        bytes.indexOf(reply, std::max<qsizetype>(0, scanned - reply.size())) >= 0;
            scanned = bytes.size();
            return noise == floodBytes && replySeen;
        },
        10000ms);

    QCOMPARE(noiseIn(stream), floodBytes);
    const qsizetype replyAt = stream.indexOf(reply);
    QVERIFY(replyAt > 0);
    QVERIFY(replyAt + reply.size() < stream.size());
    QByteArray answers = stream;
    answers.removeIf(isNoise);
    QCOMPARE(answers, reply);
}

void TestAdapterSim::vanishOn() {
    QVERIFY(startAndOpen({"--vanish-on", "AT+ROLE?"}));
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));

    QVERIFY(m_port.write("AT+ROLE?\r\n"));
    QVERIFY(m_simulator->waitForEnd());
    QVERIFY(m_simulator->exitedNormally());
    QCOMPARE(m_simulator->exitCode(), 0);
    QVERIFY(isLinkGone(m_simulator->linkPath()));
    QCOMPARE(m_port.readReply(), QByteArray());
    QVERIFY(m_port.hungUp(500ms));
}

void TestAdapterSim::terminationSignal_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestAdapterSim::terminationSignal() {
    QFETCH(int, signalNumber);
    QVERIFY(startAndOpen({}));
    QCOMPARE(QFileInfo(m_simulator->linkPath()).symLinkTarget(), m_simulator->devicePath());
    QCOMPARE(m_port.exchange("AT"), QByteArray("AT\r\nOK\r\n"));

    QVERIFY(m_simulator->sendSignal(signalNumber));
    QVERIFY(m_simulator->waitForEnd());
    QVERIFY(m_simulator->exitedNormally());
    QCOMPARE(m_simulator->exitCode(), 0);
    QVERIFY(isLinkGone(m_simulator->linkPath()));
}

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
    for (const char *expected :
         {"--port",         "--ports-dir", "--initial-role", "--name-gb18030", "--silent-on",
          "--lowercase-ok", "--no-echo",   "--late-tail",    "--wrong-token",  "--garbage",
          "--vanish-on",    "--flood",     "--quiet",        "PairwickSim",    "SIM-1.2.0",
          "9600",           "EN",          "1234",           "0017:EA:0911CD", "0000:00:000000"}) {
        QVERIFY2(help.contains(expected), expected);
    }
}

void TestAdapterSim::logLines() {
    QVERIFY(startAndOpen({}));
    QCOMPARE(m_port.exchange("AT+VER?"), QByteArray("AT+VER?\r\nSIM-1.2.0\r\nOK\r\n"));
    QCOMPARE(m_port.exchange("AT\x01\\"), QByteArray("AT\x01\\\r\nERROR\r\n"));
    QVERIFY(m_simulator->sendSignal(SIGTERM));
    QVERIFY(m_simulator->waitForEnd());

    const QString log = QString::fromLatin1(m_simulator->standardOutput());
    for (const char *line : {R"(<- AT+VER?)", R"(-> AT+VER?\r\nSIM-1.2.0\r\nOK\r\n)",
                             R"(<- AT\x01\\)", R"(-> AT\x01\\\r\nERROR\r\n)"}) {
        const QRegularExpression stamped(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d )") +
                                             QRegularExpression::escape(QLatin1String(line)) +
                                             QLatin1Char('$'),
                                         QRegularExpression::MultilineOption);
        QVERIFY2(stamped.match(log).hasMatch(), line);
    }
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

QTEST_GUILESS_MAIN(pairwick::adaptersim::test::TestAdapterSim)
#include "tst_adaptersim.moc"
