// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's replies to each command, and the command-line switches that bend them.
#include <QTest>

#include "tst_adaptersim.h"

namespace pairwick::adaptersim::test {

namespace {

const QByteArray emptyBindSlots =
    "\r\n+BINDADDR1:\r\n+BINDADDR2:\r\n+BINDADDR3:\r\n+BINDADDR4:\r\n+BINDADDR5:\r\n"
    "+BINDADDR6:\r\n+BINDADDR7:";
const QByteArray gb18030Name = "\xB2\xE2\xCA\xD4\xC9\xE8\xB1\xB8";

}  // namespace

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

}  // namespace pairwick::adaptersim::test
