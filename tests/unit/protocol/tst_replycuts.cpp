// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "protocol/replycuts.h"
#include "protocol/replylayout.h"

using namespace pairwick::protocol;

Q_DECLARE_METATYPE(pairwick::protocol::TextCut)

namespace {

// Replies are put together here from the adapter's layout, piece by piece, so that the cut
// positions in the code are checked against the layout and not against themselves.
const QString LineEnd = QStringLiteral("\r\n");
const QString OkTail = QStringLiteral("\r\nOK\r\n");
const QString BoundAddress = QStringLiteral("0e:12:34:56:78:9a");

QString echo(const QString &query) {
    return query + LineEnd;
}

// Characters the tool must never look at; deliberately full of things that look meaningful.
QString skipped(qsizetype count) {
    static const QString pattern = QStringLiteral("OK\r\n+:EN1 ");
    QString filler;
    for (qsizetype i = 0; i < count; ++i)
        filler += pattern.at(i % pattern.size());
    return filler;
}

// After the bound address the adapter lists its other slots: each an 11-character head with
// an empty value, then the final acknowledgement.
QString bindTail(int emptyEntries) {
    QString tail = LineEnd;
    for (int entry = 1; entry <= emptyEntries; ++entry)
        tail += QStringLiteral("+BINDADDR%1=").arg(entry) + LineEnd;
    return tail + QStringLiteral("OK\r\n");
}

struct TextLayout {
    const char *name;
    QString query;
    qsizetype skippedBeforeValue;
    QString afterValue;
    TextCut cut;
    int fixedLength;
    QString typicalValue;
};

QList<TextLayout> textLayouts() {
    return {
        {"device name", QStringLiteral("AT+DEVICENAME?"), 0, OkTail, DeviceNameCut, 22,
         QStringLiteral("Dev 1")},
        {"version", QStringLiteral("AT+VER?"), 0, OkTail, VersionCut, 15,
         QStringLiteral("V1.0.0-20260101")},
        {"pin", QStringLiteral("AT+PIN?"), 11, OkTail, PinCut, 26, QStringLiteral("1234")},
        {"address", QStringLiteral("AT+ADDR?"), 11, OkTail, AddressCut, 27,
         QStringLiteral("0a:1b:2c:3d:4e:5f")},
        {"bound address", QStringLiteral("AT+BINDADDR?"), 11, bindTail(7), BindAddressCut, 122,
         BoundAddress},
    };
}

QString textReply(const TextLayout &layout, const QString &value) {
    return echo(layout.query) + skipped(layout.skippedBeforeValue) + value + layout.afterValue;
}

QString uartReply(const QString &baudRate, const QString &gap, const QString &parity,
                  const QString &separator, const QString &stopBits) {
    return echo(QStringLiteral("AT+UART?")) + baudRate + gap + parity + separator + stopBits +
           OkTail;
}

}  // namespace

class TestReplyCuts : public QObject {
    Q_OBJECT

private slots:
    void fixedPartLengths_data();
    void fixedPartLengths();
    void cutText_data();
    void cutText();
    void boundAddressTrailer_data();
    void boundAddressTrailer();
    void cutUart_data();
    void cutUart();
    void cutRole_data();
    void cutRole();
    void cutMessageState_data();
    void cutMessageState();
    void completeReply_data();
    void completeReply();
};

// The builders above must give the fixed lengths the adapter's layouts add up to.
void TestReplyCuts::fixedPartLengths_data() {
    QTest::addColumn<QString>("replyWithoutValue");
    QTest::addColumn<int>("fixedLength");

    for (const TextLayout &layout : textLayouts())
        QTest::newRow(layout.name) << textReply(layout, QString()) << layout.fixedLength;
    QTest::newRow("uart") << uartReply("", "   ", "N", " ", "1") << 22;
    QTest::newRow("bound address trailer") << bindTail(7) << 97;
}

void TestReplyCuts::fixedPartLengths() {
    QFETCH(QString, replyWithoutValue);
    QFETCH(int, fixedLength);
    QCOMPARE(replyWithoutValue.size(), fixedLength);
}

void TestReplyCuts::cutText_data() {
    QTest::addColumn<TextCut>("cut");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("cuttable");
    QTest::addColumn<QString>("value");

    for (const TextLayout &layout : textLayouts()) {
        const auto row = [&layout](const char *what) -> QTestData & {
            return QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(
                QString::fromUtf8(layout.name), QString::fromUtf8(what))));
        };
        const QString emptyValueReply = textReply(layout, QString());

        row("typical value") << layout.cut << textReply(layout, layout.typicalValue) << true
                             << layout.typicalValue;
        row("one character") << layout.cut << textReply(layout, QStringLiteral("7")) << true << "7";
        row("chinese counted in characters")
            << layout.cut << textReply(layout, QStringLiteral("测试设备")) << true << "测试设备";
        row("value holding line breaks and OK")
            << layout.cut << textReply(layout, QStringLiteral("a\r\nOK\r\nb")) << true
            << "a\r\nOK\r\nb";
        row("spaces kept as cut") << layout.cut << textReply(layout, QStringLiteral(" x ")) << true
                                  << " x ";
        row("value of length 0") << layout.cut << emptyValueReply << true << "";
        row("one character short") << layout.cut << emptyValueReply.chopped(1) << false << "";
        row("command line only") << layout.cut << echo(layout.query) << false << "";
        row("acknowledgement only") << layout.cut << QStringLiteral("OK\r\n") << false << "";
        row("empty reply") << layout.cut << QString() << false << "";
    }
}

void TestReplyCuts::cutText() {
    QFETCH(TextCut, cut);
    QFETCH(QString, reply);
    QFETCH(bool, cuttable);
    QFETCH(QString, value);

    const std::optional<QString> result = pairwick::protocol::cutText(reply, cut);
    QCOMPARE(result.has_value(), cuttable);
    if (cuttable)
        QCOMPARE(*result, value);
}

void TestReplyCuts::boundAddressTrailer_data() {
    QTest::addColumn<QString>("trailer");
    QTest::addColumn<QString>("value");

    const QString seven = bindTail(7);

    QTest::newRow("97 characters") << seven << BoundAddress;
    QTest::newRow("96 characters") << seven.chopped(1) << BoundAddress.chopped(1);
    QTest::newRow("98 characters") << seven + QStringLiteral("\n") << BoundAddress + "\r";
    QTest::newRow("six empty slots") << bindTail(6) << BoundAddress.chopped(13);
    QTest::newRow("eight empty slots") << bindTail(8) << BoundAddress + "\r\n+BINDADDR1=";
}

// Only the count of characters behind the bound address decides where the cut falls.
void TestReplyCuts::boundAddressTrailer() {
    QFETCH(QString, trailer);
    QFETCH(QString, value);

    const QString reply =
        echo(QStringLiteral("AT+BINDADDR?")) + skipped(11) + BoundAddress + trailer;
    const std::optional<QString> result = pairwick::protocol::cutText(reply, BindAddressCut);
    QVERIFY(result.has_value());
    QCOMPARE(*result, value);
}

void TestReplyCuts::cutUart_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("hasBaudRate");
    QTest::addColumn<QString>("baudRate");
    QTest::addColumn<QString>("parity");
    QTest::addColumn<QString>("stopBits");

    const QString exactlyFixed = uartReply("", ",  ", "N", ",", "1");

    QTest::newRow("115200, 3 skipped, E, 1 skipped, 2")
        << uartReply("115200", "xyz", "E", "w", "2") << true << "115200"
        << "E"
        << "2";
    QTest::newRow("9600 8N1") << uartReply("9600", ",0,", "N", ",", "1") << true << "9600"
                              << "N"
                              << "1";
    QTest::newRow("460800 odd") << uartReply("460800", "  ,", "O", " ", "1") << true << "460800"
                                << "O"
                                << "1";
    QTest::newRow("skipped characters are chinese")
        << uartReply("38400", "，校验", "E", "停", "2") << true << "38400"
        << "E"
        << "2";
    QTest::newRow("trailing space stays in the baud rate")
        << uartReply("9600 ", ",0,", "N", ",", "1") << true << "9600 "
        << "N"
        << "1";
    QTest::newRow("lower-case letter taken as it is")
        << uartReply("9600", ",0,", "n", ",", "1") << true << "9600"
        << "n"
        << "1";
    QTest::newRow("baud rate of length 0") << exactlyFixed << true << ""
                                           << "N"
                                           << "1";
    QTest::newRow("one character short of a baud rate") << exactlyFixed.mid(1) << false << ""
                                                        << "N"
                                                        << "1";
    QTest::newRow("exactly the last nine") << QStringLiteral("N,1\r\nOK\r\n") << false << ""
                                           << "N"
                                           << "1";
    QTest::newRow("eight characters") << QStringLiteral(",1\r\nOK\r\n") << false << ""
                                      << ""
                                      << "";
    QTest::newRow("acknowledgement only") << QStringLiteral("OK\r\n") << false << ""
                                          << ""
                                          << "";
    QTest::newRow("empty reply") << QString() << false << ""
                                 << ""
                                 << "";
}

void TestReplyCuts::cutUart() {
    QFETCH(QString, reply);
    QFETCH(bool, hasBaudRate);
    QFETCH(QString, baudRate);
    QFETCH(QString, parity);
    QFETCH(QString, stopBits);

    const UartPieces pieces = pairwick::protocol::cutUart(reply);
    QCOMPARE(pieces.baudRate.has_value(), hasBaudRate);
    if (hasBaudRate)
        QCOMPARE(*pieces.baudRate, baudRate);
    QCOMPARE(pieces.parity, parity);
    QCOMPARE(pieces.stopBits, stopBits);
}

void TestReplyCuts::cutRole_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("role");

    const QString head = echo(QStringLiteral("AT+ROLE?"));

    QTest::newRow("master") << head + "1" + OkTail << "1";
    QTest::newRow("slave") << head + "0" + OkTail << "0";
    QTest::newRow("unknown digit") << head + "2" + OkTail << "2";
    QTest::newRow("more after the digit is not examined") << head + "1 (master) and more\r\nOK\r\n"
                                                          << "1";
    QTest::newRow("chinese character at 11") << head + "主" + OkTail << "主";
    QTest::newRow("exactly 11 characters") << head + "1"
                                           << "1";
    QTest::newRow("command line only") << head << "";
    QTest::newRow("empty reply") << QString() << "";
}

void TestReplyCuts::cutRole() {
    QFETCH(QString, reply);
    QFETCH(QString, role);
    QCOMPARE(pairwick::protocol::cutRole(reply), role);
}

void TestReplyCuts::cutMessageState_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("state");

    const QString head = echo(QStringLiteral("AT+MSGENABLE?")) + skipped(8);

    QTest::newRow("enabled") << head + "EN" + OkTail << "EN";
    QTest::newRow("disabled") << head + "DI" + OkTail << "DI";
    QTest::newRow("lower case taken as it is") << head + "en" + OkTail << "en";
    QTest::newRow("more after the state is not examined") << head + "ENABLED\r\nOK\r\n"
                                                          << "EN";
    QTest::newRow("exactly 25 characters") << head + "DI"
                                           << "DI";
    QTest::newRow("24 characters") << head + "D"
                                   << "D";
    QTest::newRow("23 characters") << head << "";
    QTest::newRow("empty reply") << QString() << "";
}

void TestReplyCuts::cutMessageState() {
    QFETCH(QString, reply);
    QFETCH(QString, state);
    QCOMPARE(pairwick::protocol::cutMessageState(reply), state);
}

void TestReplyCuts::completeReply_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("received");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");  // -1: still incomplete

    for (const TextLayout &layout : textLayouts()) {
        const QString reply = textReply(layout, layout.typicalValue);
        QTest::addRow("%s", layout.name) << layout.query << reply << qsizetype(0) << reply.size();
        QTest::addRow("%s, a value that reads OK", layout.name)
            << layout.query << textReply(layout, QStringLiteral("OK")) << qsizetype(0)
            << textReply(layout, QStringLiteral("OK")).size();
        QTest::addRow("%s, last character missing", layout.name)
            << layout.query << reply.chopped(1) << qsizetype(0) << qsizetype(-1);
        QTest::addRow("%s, after stale input, before the next", layout.name)
            << layout.query << "junk\r\n" + reply + "AT" << qsizetype(6) << reply.size();
    }
    const QString uart = uartReply("115200", ",8,", "E", ",", "2");
    QTest::newRow("uart") << "AT+UART?" << uart << qsizetype(0) << uart.size();
    const QString role = echo("AT+ROLE?") + "1" + OkTail;
    QTest::newRow("role") << "AT+ROLE?" << role << qsizetype(0) << role.size();
    const QString messages = echo("AT+MSGENABLE?") + skipped(8) + "EN" + OkTail;
    QTest::newRow("prompt state behind skipped line ends")
        << "AT+MSGENABLE?" << messages << qsizetype(0) << messages.size();
    const QString set = echo("AT+PIN=OK") + "ERROR\r\n";
    QTest::newRow("a set command closed by an error line")
        << "AT+PIN=OK" << set << qsizetype(0) << set.size();
    QTest::newRow("lower-case ok closes too") << "AT"
                                              << "AT\r\nok\r\n"
                                              << qsizetype(0) << qsizetype(8);
    QTest::newRow("no repeated command line") << "AT+VER?"
                                              << "V1\r\nOK\r\n"
                                              << qsizetype(0) << qsizetype(-1);
    QTest::newRow("another command repeated")
        << "AT+VER?" << echo("AT+PIN?") + "V1" + OkTail << qsizetype(0) << qsizetype(-1);
}

// Completion follows each command's layout: values and skipped characters are counted, never
// searched for "OK".
void TestReplyCuts::completeReply() {
    QFETCH(QString, command);
    QFETCH(QString, received);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);

    const std::optional<ReplySpan> span = pairwick::protocol::completeReply(command, received);
    QCOMPARE(span.has_value(), length >= 0);
    if (span) {
        QCOMPARE(span->start, start);
        QCOMPARE(span->length, length);
    }
}

QTEST_APPLESS_MAIN(TestReplyCuts)
#include "tst_replycuts.moc"
