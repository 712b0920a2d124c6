// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "protocol/commands.h"

using namespace pairwick::protocol;

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void commandTexts_data();
    void commandTexts();
    void textArgument_data();
    void textArgument();
    void parityArgument_data();
    void parityArgument();
    void flagArgument_data();
    void flagArgument();
};

void TestCommands::commandTexts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    QTest::newRow("probe") << ProbeCommand << "AT";
    QTest::newRow("factory reset") << DefaultCommand << "AT+DEFAULT";

    QTest::newRow("device name query") << DeviceNameQuery << "AT+DEVICENAME?";
    QTest::newRow("version query") << VersionQuery << "AT+VER?";
    QTest::newRow("uart query") << UartQuery << "AT+UART?";
    QTest::newRow("role query") << RoleQuery << "AT+ROLE?";
    QTest::newRow("messages query") << MessageEnableQuery << "AT+MSGENABLE?";
    QTest::newRow("pin query") << PinQuery << "AT+PIN?";
    QTest::newRow("address query") << AddressQuery << "AT+ADDR?";
    QTest::newRow("bound address query has no index") << BindAddressQuery << "AT+BINDADDR?";

    QTest::newRow("device name set") << DeviceNameSet << "AT+DEVICENAME=";
    QTest::newRow("baud rate set") << BaudRateSet << "AT+UARTBAUDRATE=";
    QTest::newRow("parity set") << ParitySet << "AT+UARTPARITY=";
    QTest::newRow("stop bits set") << StopBitsSet << "AT+UARTSTOP=";
    QTest::newRow("role set") << RoleSet << "AT+ROLE=";
    QTest::newRow("messages set") << MessageEnableSet << "AT+MSGENABLE=";
    QTest::newRow("pin set") << PinSet << "AT+PIN=";
    QTest::newRow("bound address set has index 0") << BindAddressSet << "AT+BINDADDR0=";
}

void TestCommands::commandTexts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestCommands::textArgument_data() {
    QTest::addColumn<QString>("fieldText");
    QTest::addColumn<QString>("argument");

    QTest::newRow("spaces at both ends") << "  Dev 1  "
                                         << "Dev 1";
    QTest::newRow("inner spaces kept") << "My  Dev   1"
                                       << "My  Dev   1";
    QTest::newRow("nothing to change") << "Pairwick-01"
                                       << "Pairwick-01";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only spaces") << "     "
                                 << "";
    QTest::newRow("tabs are not spaces") << "\tDev\t"
                                         << "\tDev\t";
    QTest::newRow("ideographic space is not a space") << "\u3000名\u3000"
                                                      << "\u3000名\u3000";
    QTest::newRow("no-break space is not a space") << "\u00a0Dev\u00a0"
                                                   << "\u00a0Dev\u00a0";
    QTest::newRow("chinese name trimmed") << " 测试设备 "
                                          << "测试设备";
    QTest::newRow("CR LF at the end") << "Dev\r\n"
                                      << "Dev";
    QTest::newRow("CR LF at the start") << "\r\nDev"
                                        << "Dev";
    QTest::newRow("CR LF inside") << "De\r\nv"
                                  << "Dev";
    QTest::newRow("lone CR and lone LF") << "\rD\ne\rv\n"
                                         << "Dev";
    QTest::newRow("only line breaks") << "\r\n\r\n"
                                      << "";
    QTest::newRow("space before a line break kept") << "Dev \r\n1"
                                                    << "Dev 1";
    QTest::newRow("space before a trailing line break kept") << "1234 \r\n"
                                                             << "1234 ";
    QTest::newRow("spaces shielded by line breaks kept") << "\r\n Dev \r\n"
                                                         << " Dev ";
    QTest::newRow("spaces outside line breaks trimmed") << "  \r\n Dev \r\n  "
                                                        << " Dev ";
    QTest::newRow("address with colons") << " 0a:1b:2c:3d:4e:5f "
                                         << "0a:1b:2c:3d:4e:5f";
}

void TestCommands::textArgument() {
    QFETCH(QString, fieldText);
    QFETCH(QString, argument);
    QCOMPARE(pairwick::protocol::textArgument(fieldText), argument);
}

void TestCommands::parityArgument_data() {
    QTest::addColumn<QString>("entryText");
    QTest::addColumn<QString>("letter");

    QTest::newRow("none") << "None 无"
                          << "N";
    QTest::newRow("odd") << "Odd  奇"
                         << "O";
    QTest::newRow("even") << "Even 偶"
                          << "E";
    QTest::newRow("no selection") << ""
                                  << "";
    QTest::newRow("only spaces") << "   "
                                 << "";
    QTest::newRow("leading spaces skipped") << "  Odd  奇"
                                            << "O";
    QTest::newRow("leading tab is a character") << "\tOdd"
                                                << "\t";
}

void TestCommands::parityArgument() {
    QFETCH(QString, entryText);
    QFETCH(QString, letter);
    QCOMPARE(pairwick::protocol::parityArgument(entryText), letter);
}

void TestCommands::flagArgument_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("argument");

    QTest::newRow("on") << true << "1";
    QTest::newRow("off") << false << "0";
}

void TestCommands::flagArgument() {
    QFETCH(bool, on);
    QFETCH(QString, argument);
    QCOMPARE(pairwick::protocol::flagArgument(on), argument);
}

QTEST_APPLESS_MAIN(TestCommands)
#include "tst_commands.moc"
