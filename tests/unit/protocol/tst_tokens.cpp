// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "protocol/tokens.h"

using namespace pairwick::protocol;

Q_DECLARE_METATYPE(pairwick::protocol::Role)

namespace {

const QStringList BaudRates{"1200",  "2400",  "4800",   "9600",   "14400",  "19200",
                            "38400", "57600", "115200", "230400", "256000", "460800"};
const QStringList ParityEntries{"None 无", "Odd  奇", "Even 偶"};
const QStringList ParityLetters{"N", "O", "E"};
const QStringList StopBits{"1", "2"};

}  // namespace

class TestTokens : public QObject {
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void findToken_data();
    void findToken();
    void roleFromToken_data();
    void roleFromToken();
    void messagesEnabledFromToken_data();
    void messagesEnabledFromToken();
};

void TestTokens::tables_data() {
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("baud rates") << baudRateEntries() << BaudRates;
    QTest::newRow("parity entries") << parityEntries() << ParityEntries;
    QTest::newRow("parity letters") << parityLetters() << ParityLetters;
    QTest::newRow("stop bits") << stopBitEntries() << StopBits;
}

void TestTokens::tables() {
    QFETCH(QStringList, table);
    QFETCH(QStringList, expected);
    QCOMPARE(table, expected);
}

void TestTokens::findToken_data() {
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("position");

    for (qsizetype i = 0; i < BaudRates.size(); ++i)
        QTest::addRow("baud %s", qPrintable(BaudRates[i]))
            << baudRateEntries() << BaudRates[i] << int(i);
    for (const char *miss : {" 9600", "09600", "9600 ", "300", "", "96OO"})
        QTest::addRow("baud miss \"%s\"", miss) << baudRateEntries() << miss << -1;

    for (qsizetype i = 0; i < ParityLetters.size(); ++i)
        QTest::addRow("parity %s", qPrintable(ParityLetters[i]))
            << parityLetters() << ParityLetters[i] << int(i);
    for (const char *miss : {"n", "o", "e", "None 无", " N", "NO", ""})
        QTest::addRow("parity miss \"%s\"", miss) << parityLetters() << miss << -1;

    QTest::newRow("stop 1") << stopBitEntries() << "1" << 0;
    QTest::newRow("stop 2") << stopBitEntries() << "2" << 1;
    for (const char *miss : {"0", "3", "1 ", "01", "1.5", ""})
        QTest::addRow("stop miss \"%s\"", miss) << stopBitEntries() << miss << -1;
}

void TestTokens::findToken() {
    QFETCH(QStringList, table);
    QFETCH(QString, token);
    QFETCH(int, position);
    QCOMPARE(pairwick::protocol::findToken(table, token), qsizetype(position));
}

void TestTokens::roleFromToken_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("known");
    QTest::addColumn<Role>("role");

    QTest::newRow("0 is slave") << "0" << true << Role::Slave;
    QTest::newRow("1 is master") << "1" << true << Role::Master;
    for (const char *miss : {"2", "", " 1", "1 ", "01", "10", "１", "M", "S"})
        QTest::addRow("miss \"%s\"", miss) << miss << false << Role::Slave;
}

void TestTokens::roleFromToken() {
    QFETCH(QString, token);
    QFETCH(bool, known);
    QFETCH(Role, role);

    const std::optional<Role> result = pairwick::protocol::roleFromToken(token);
    QCOMPARE(result.has_value(), known);
    if (known)
        QCOMPARE(*result, role);
}

void TestTokens::messagesEnabledFromToken_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("known");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("EN is on") << "EN" << true << true;
    QTest::newRow("DI is off") << "DI" << true << false;
    for (const char *miss : {"en", "En", "di", "dI", "E", "D", "EN ", " EN", "ENA", "1", "0", ""})
        QTest::addRow("miss \"%s\"", miss) << miss << false << false;
}

void TestTokens::messagesEnabledFromToken() {
    QFETCH(QString, token);
    QFETCH(bool, known);
    QFETCH(bool, enabled);

    const std::optional<bool> result = pairwick::protocol::messagesEnabledFromToken(token);
    QCOMPARE(result.has_value(), known);
    if (known)
        QCOMPARE(*result, enabled);
}

QTEST_APPLESS_MAIN(TestTokens)
#include "tst_tokens.moc"
