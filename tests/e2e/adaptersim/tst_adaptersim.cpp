// SPDX-License-Identifier: GPL-3.0-or-later
#include "rawport.h"
#include "simulatorprocess.h"

#include <QDir>
#include <QElapsedTimer>
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

#include "patience.h"

using namespace std::chrono_literals;

namespace pairwick::adaptersim::test {

struct Exchange {
    QByteArray command;
    // Empty when the adapter must stay silent.
    QByteArray reply;
};
using Script = QList<Exchange>;

}  // namespace pairwick::adaptersim::test

Q_DECLARE_METATYPE(pairwick::adaptersim::test::Exchange)
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
    answered("AT+ADDR?", "+LOCALADDR:0A1B:2C:3D4E5F"),
    {"AT+BINDADDR?", factoryBindReply},
};

// The log's lines of one kind, without time stamp and kind.
QStringList logged(const QByteArray &log, const QString &kind) {
    const QRegularExpression line(QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d\d\d %1(.*)$)").arg(kind),
                                  QRegularExpression::MultilineOption);
    QStringList lines;
    for (auto match = line.globalMatch(QString::fromLatin1(log)); match.hasNext();) {
        lines.append(match.next().captured(1));
    }
    return lines;
}

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
    void repliesTakeTheirTime_data();
    void repliesTakeTheirTime();
    void twoAdaptersAreIndependent();
    void chaosReplaysForTheSameSeed();
    void chaosVanishingComesBackUnderTheSameLink();
    void unitAddresses_data();
    void unitAddresses();
    void nextBringsAFreshUnit();
    void unitControlLines_data();
    void unitControlLines();

    void portMapFolder_data();
    void portMapFolder();
    void existingEntry_data();
    void existingEntry();
    void badArguments_data();
    void badArguments();
    void helpListsSwitchesAndFactoryState();
    void logLines_data();
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
        << QByteArray("AT+ADDR?") << QByteArray("AT+ADDR?\r\n+LOCALADDR:0A1B:2C:3D4E5F\r\nOK\r\n")
        << 22 << 27 << QByteArray("0A1B:2C:3D4E5F");
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
                  answered("AT+ADDR?", "+LOCALADDR:0A1B:2C:3D4E5F")};
    QTest::newRow("silenced command still takes effect")
        << QStringList{"--silent-on", "AT+ROLE=1"}
        << Script{unanswered("AT+ROLE=1"), answered("AT+ROLE?", "1")};
    QTest::newRow("refused command leaves the state")
        << QStringList{"--error-on", "AT+ROLE=1"}
        << Script{refused("AT+ROLE=1"), answered("AT+ROLE?", "0"), accepted("AT+ROLE=0")};
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
                  answered("AT+ADDR?", "+LOCALADDR:0A1B:2C:3D4E5FX"),
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

void TestAdapterSim::repliesTakeTheirTime_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<double>("leastMs");

    // A byte takes 10 bits on the line: at 9600 baud 960 bytes go in a second.
    const auto lineMs = [](const Exchange &exchange, double baud) {
        return double(exchange.reply.size()) * 10'000 / baud;
    };
    const Exchange bind{"AT+BINDADDR?", factoryBindReply};
    const Exchange probe = accepted("AT");
    QTest::newRow("reply delay") << QStringList{"--reply-delay", "300"} << probe << 300.0;
    QTest::newRow("9600 baud") << QStringList{"--reply-delay", "0", "--line-rate", "9600"} << bind
                               << lineMs(bind, 9600);
    QTest::newRow("1200 baud") << QStringList{"--reply-delay", "0", "--line-rate", "1200"} << probe
                               << lineMs(probe, 1200);
    QTest::newRow("delay and line add up")
        << QStringList{"--reply-delay", "200", "--line-rate", "4800"} << bind
        << 200 + lineMs(bind, 4800);
}

void TestAdapterSim::repliesTakeTheirTime() {
    QFETCH(QStringList, arguments);
    QFETCH(Exchange, exchange);
    QFETCH(double, leastMs);
    QVERIFY(startAndOpen(arguments));

    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_port.write(exchange.command + "\r\n"));
    const QByteArray reply = m_port.readUntil(
        [&](const QByteArray &bytes) { return bytes.size() >= exchange.reply.size(); }, 5000ms);
    const qint64 elapsedMs = clock.elapsed();
    QCOMPARE(reply, exchange.reply);
    // Measured loosely: only a lower bound, and a fifth of slack for timer granularity.
    QVERIFY2(elapsedMs >= 0.8 * leastMs, qPrintable(QString::number(elapsedMs)));
}

void TestAdapterSim::twoAdaptersAreIndependent() {
    QVERIFY(m_simulator->start(inFolder({"--port", "COM3", "--adapters", "2"}), 2));
    QCOMPARE(m_simulator->linkPath(0), m_folder->filePath(QStringLiteral("com3")));
    QCOMPARE(m_simulator->linkPath(1), m_folder->filePath(QStringLiteral("com4")));
    QVERIFY(m_simulator->devicePath(0) != m_simulator->devicePath(1));
    RawPort second;
    QVERIFY(m_port.open(m_simulator->linkPath(0)));
    QVERIFY(second.open(m_simulator->linkPath(1)));

    QCOMPARE(m_port.exchange("AT+PIN=4321"), QByteArray("AT+PIN=4321\r\nOK\r\n"));
    QCOMPARE(second.exchange("AT+ROLE=1"), QByteArray("AT+ROLE=1\r\nOK\r\n"));
    QCOMPARE(second.exchange("AT+PIN?"), QByteArray("AT+PIN?\r\n+PIN CODE: 1234\r\nOK\r\n"));
    QCOMPARE(m_port.exchange("AT+ROLE?"), QByteArray("AT+ROLE?\r\n0\r\nOK\r\n"));
    // Two devices, two addresses, each telling its port.
    QCOMPARE(second.exchange("AT+ADDR?"),
             QByteArray("AT+ADDR?\r\n+LOCALADDR:0A51:00:000004\r\nOK\r\n"));
    QVERIFY(m_simulator->sendSignal(SIGTERM));
    QVERIFY(m_simulator->waitForEnd());

    const QStringList lines = logged(m_simulator->standardOutput(), QString());
    for (const char *line : {"COM3 <- AT+PIN=4321", "COM3 state pin=4321", "COM4 <- AT+ROLE=1",
                             "COM4 state role=1", "COM4 <- AT+PIN?", "COM3 <- AT+ROLE?"}) {
        QVERIFY2(lines.contains(QLatin1String(line)), line);
    }
    QVERIFY(isLinkGone(m_simulator->linkPath(0)));
    QVERIFY(isLinkGone(m_simulator->linkPath(1)));
}

void TestAdapterSim::chaosReplaysForTheSameSeed() {
    QByteArray commands;
    for (int round = 0; round < 4; ++round) {
        for (const Exchange &step : factoryQueries) {
            commands += step.command + "\r\nAT+PIN=42\r\n";
        }
    }
    QStringList firstRun;
    for (int run = 0; run < 2; ++run) {
        cleanup();
        init();
        // Vanishing would drop the lines after it; it has a test of its own.
        QVERIFY(startAndOpen({"--chaos", "20240607", "--chaos-rate", "0.3", "--chaos-faults",
                              "silent,lowercase-ok,no-echo,late-tail,wrong-token,garbage,"
                              "noise-burst"}));
        // All lines at once, so no timing can come between the seed and the faults.
        QVERIFY(m_port.write(commands));
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "<- ").size(), 64,
                                  PatienceMs);
        const QStringList faults = logged(m_simulator->standardOutput(), "chaos ");
        if (run == 0) {
            QVERIFY(faults.size() >= 3);
            firstRun = faults;
        } else {
            QCOMPARE(faults, firstRun);
        }
    }
}

void TestAdapterSim::chaosVanishingComesBackUnderTheSameLink() {
    QVERIFY(startAndOpen({"--chaos", "3", "--chaos-rate", "0.5", "--chaos-faults", "vanish"}));
    const QString link = m_simulator->linkPath();
    // Each line is either answered as usual or makes the adapter vanish and return.
    const Script script{accepted("AT+PIN=4321"), answered("AT+PIN?", "+PIN CODE: 4321")};
    int answered = 0;
    int vanished = 0;
    for (int attempt = 0; attempt < 20 && (vanished == 0 || answered < 3); ++attempt) {
        const Exchange &step = script[std::min(answered, 1)];
        const QByteArray reply = m_port.exchange(step.command);
        if (!reply.isEmpty()) {
            QCOMPARE(reply, step.reply);
            ++answered;
            continue;
        }
        ++vanished;
        QVERIFY(m_port.hungUp(500ms));
        // While away the link stays, pointing at nothing, as a user's link to an unplugged
        // device does: the tool must not fall back to the port map's default device.
        if (logged(m_simulator->standardOutput(), "returned ").size() < vanished) {
            QVERIFY(QFileInfo(link).isSymLink());
            QVERIFY(!QFileInfo::exists(link));
        }
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "returned ").size(),
                                  vanished, PatienceMs);
        const QString returned = logged(m_simulator->standardOutput(), "returned ").constLast();
        QCOMPARE(returned, QStringLiteral("%1 -> %2").arg(link, QFileInfo(link).symLinkTarget()));
        QVERIFY(m_port.open(link));
    }
    QVERIFY(vanished > 0);
    QVERIFY(answered >= 3);
}

void TestAdapterSim::unitAddresses_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("adapter");
    // "SERIAL ADDRESS" of the port's first two units.
    QTest::addColumn<QStringList>("units");

    QTest::newRow("COM3 from unit 1")
        << QStringList{} << 0 << QStringList{"1 0A51:00:000001", "3 0A51:00:000003"};
    QTest::newRow("COM4 from unit 1")
        << QStringList{} << 1 << QStringList{"2 0A51:00:000002", "4 0A51:00:000004"};
    QTest::newRow("COM4 from unit 5000")
        << QStringList{"--first-unit", "5000"} << 1
        << QStringList{"5001 0A51:00:005001", "5003 0A51:00:005003"};
    QTest::newRow("COM3 from unit 12345678 on a paced line")
        << QStringList{"--first-unit", "12345678", "--line-rate", "9600"} << 0
        << QStringList{"12345678 0A51:12:345678", "12345680 0A51:12:345680"};
}

void TestAdapterSim::unitAddresses() {
    QFETCH(QStringList, arguments);
    QFETCH(int, adapter);
    QFETCH(QStringList, units);
    QVERIFY(m_simulator->start(inFolder(QStringList{"--units", "--port", "COM3", "--adapters", "2",
                                                    "--unit-settle", "50"} +
                                        arguments),
                               2));
    const QString port = QStringLiteral("COM%1").arg(3 + adapter);

    for (qsizetype unit = 0; unit < units.size(); ++unit) {
        QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), port + " unit in ").size(),
                                  unit + 1, PatienceMs);
        QCOMPARE(logged(m_simulator->standardOutput(), port + " unit in ").constLast(),
                 units[unit]);
        const QByteArray address = units[unit].section(QLatin1Char(' '), 1).toLatin1();
        QVERIFY(m_port.open(m_simulator->linkPath(adapter)));
        // The address is the unit's own: a factory reset keeps it.
        runScript({answered("AT+ADDR?", "+LOCALADDR:" + address), accepted("AT+DEFAULT"),
                   answered("AT+ADDR?", "+LOCALADDR:" + address)});
        m_port.close();
        QVERIFY(m_simulator->command("next " + port.toLatin1()));
    }
}

void TestAdapterSim::nextBringsAFreshUnit() {
    constexpr int settleMs = 400;
    QVERIFY(startAndOpen({"--units", "--unit-settle", QString::number(settleMs)}));
    const QString link = m_simulator->linkPath();
    runScript({accepted("AT+PIN=4321")});

    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_simulator->command("next COM1"));
    QVERIFY(m_port.hungUp(500ms));
    // Between two units the link points at nothing, as after the vanish fault.
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));
    QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "unit in ").size(), 2,
                              PatienceMs);
    QVERIFY2(clock.elapsed() >= 0.8 * settleMs, qPrintable(QString::number(clock.elapsed())));

    QVERIFY(m_port.open(link));
    runScript({answered("AT+PIN?", "+PIN CODE: 1234"),
               answered("AT+ADDR?", "+LOCALADDR:0A51:00:000002"), accepted("AT+ROLE=1")});
    QCOMPARE(logged(m_simulator->standardOutput(), QString())
                 .filter(QRegularExpression("^unit |^state ")),
             (QStringList{"unit in 1 0A51:00:000001", "state pin=4321", "unit out 1",
                          "unit in 2 0A51:00:000002", "state role=1"}));
}

void TestAdapterSim::unitControlLines_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArrayList>("lines");
    // The unit lines of the log, without time stamp and "unit ".
    QTest::addColumn<QStringList>("unitLog");
    QTest::addColumn<int>("ignored");
    // Empty when the port must not open or not answer.
    QTest::addColumn<QByteArray>("probeReply");

    const QString first = QStringLiteral("in 1 0A51:00:000001");
    const QString second = QStringLiteral("in 2 0A51:00:000002");
    const QByteArray answer = "AT\r\nOK\r\n";
    QTest::newRow("out, in") << QStringList{} << QByteArrayList{"out COM1", "in COM1"}
                             << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("out leaves the port empty") << QStringList{} << QByteArrayList{"out COM1"}
                                               << QStringList{first, "out 1"} << 0 << QByteArray();
    QTest::newRow("out, in, by-path link as udev's")
        << QStringList{"--unplug", "udev"} << QByteArrayList{"out COM1", "in COM1"}
        << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("out takes the by-path link as udev does")
        << QStringList{"--unplug", "udev"} << QByteArrayList{"out COM1"}
        << QStringList{first, "out 1"} << 0 << QByteArray();
    QTest::newRow("out while the next unit is on its way")
        << QStringList{} << QByteArrayList{"next COM1", "out COM1"} << QStringList{first, "out 1"}
        << 0 << QByteArray();
    QTest::newRow("in while the next unit is on its way")
        << QStringList{} << QByteArrayList{"next COM1", "in COM1"}
        << QStringList{first, "out 1", second} << 0 << answer;
    QTest::newRow("start empty, in") << QStringList{"--start-empty"} << QByteArrayList{"in COM1"}
                                     << QStringList{first} << 0 << answer;
    QTest::newRow("nothing to take out or mute when empty")
        << QStringList{"--start-empty"} << QByteArrayList{"out COM1", "mute COM1", "unmute COM1"}
        << QStringList{} << 3 << QByteArray();
    QTest::newRow("mute") << QStringList{} << QByteArrayList{"mute COM1"}
                          << QStringList{first, "mute 1"} << 0 << QByteArray();
    QTest::newRow("mute, unmute") << QStringList{} << QByteArrayList{"mute COM1", "unmute COM1"}
                                  << QStringList{first, "mute 1", "unmute 1"} << 0 << answer;
    QTest::newRow("the next unit answers though the last was muted")
        << QStringList{} << QByteArrayList{"mute COM1", "mute COM1", "out COM1", "in COM1"}
        << QStringList{first, "mute 1", "out 1", second} << 1 << answer;
    QTest::newRow("bad lines")
        << QStringList{} << QByteArrayList{"hop COM1",      "next",      "next LPT1",
                                           "out COM2",      "in COM1",   "unmute COM1",
                                           "mute COM1 now", "NEXT COM1", QByteArray(5000, 'x'),
                                           "\xFF next COM1"}
        << QStringList{first} << 10 << answer;
    QTest::newRow("chaos draws for the new unit")
        << QStringList{"--chaos", "7", "--chaos-rate", "1", "--chaos-faults", "lowercase-ok"}
        << QByteArrayList{"next COM1"} << QStringList{first, "out 1", second} << 0
        << QByteArray("AT\r\nok\r\n");
}

void TestAdapterSim::unitControlLines() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArrayList, lines);
    QFETCH(QStringList, unitLog);
    QFETCH(int, ignored);
    QFETCH(QByteArray, probeReply);
    QVERIFY(
        m_simulator->start(inFolder(QStringList{"--units", "--unit-settle", "100"} + arguments)));
    for (const QByteArray &line : lines) {
        QVERIFY(m_simulator->command(line));
    }
    // The end of the control lines changes nothing.
    m_simulator->endInput();

    const auto ignoredLines = [&] {
        return m_simulator->standardError().count("pairwick-adapter-sim: control line ignored: ");
    };
    QTRY_COMPARE_WITH_TIMEOUT(ignoredLines(), qsizetype(ignored), PatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(logged(m_simulator->standardOutput(), "unit "), unitLog, PatienceMs);
    // Long enough for a unit on its way to have come in.
    QTest::qWait(200);
    QCOMPARE(logged(m_simulator->standardOutput(), "unit "), unitLog);
    const bool opened = m_port.open(m_simulator->linkPath());
    QCOMPARE(opened ? m_port.exchange("AT") : QByteArray(), probeReply);
    QVERIFY(m_simulator->isRunning());
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

QTEST_GUILESS_MAIN(pairwick::adaptersim::test::TestAdapterSim)
#include "tst_adaptersim.moc"
