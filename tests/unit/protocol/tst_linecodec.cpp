// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "link/linecodec.h"

using pairwick::link::LineCodec;

namespace {

QByteArray hex(const char *digits) {
    return QByteArray::fromHex(digits);
}

// The same name as it arrives in either encoding.
const QByteArray NameUtf8 = hex("e6b58b e8af95 e8aebe e5a487");
const QByteArray NameGb18030 = hex("b2e2 cad4 c9e8 b1b8");
const QString Name = QString::fromUtf8("测试设备");

// One character outside the basic plane: four bytes in both encodings, two UTF-16 units.
const QByteArray ExtensionBUtf8 = hex("f0a08080");
const QByteArray ExtensionBGb18030 = hex("95328236");
const QString ExtensionB = QString::fromUcs4(U"\U00020000");

const QString Replacement = QString(QChar::ReplacementCharacter);

QByteArray nameReply(const QByteArray &nameBytes) {
    return QByteArray("AT+DEVICENAME?\r\n") + nameBytes + QByteArray("\r\nOK\r\n");
}

const QString NameReplyText = QStringLiteral("AT+DEVICENAME?\r\n") + Name + "\r\nOK\r\n";

// QString::fromUtf8 would swallow a leading U+FEFF, so these are put together by hand.
QString withByteOrderMark(const QString &before, const QString &after) {
    return before + QChar(0xFEFF) + after;
}

}  // namespace

class TestLineCodec : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void decodeSplitAnywhere_data();
    void decodeSplitAnywhere();
    void decodeByteByByte_data();
    void decodeByteByByte();
    void decodeReads_data();
    void decodeReads();
    void heldBackPartialIsFinished_data();
    void heldBackPartialIsFinished();
    void resetDropsHeldBackPartial_data();
    void resetDropsHeldBackPartial();
    void heldBackTailIsBounded_data();
    void heldBackTailIsBounded();
};

void TestLineCodec::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ascii command") << "AT+PIN=1234\r\n" << QByteArray("AT+PIN=1234\r\n");
    QTest::newRow("chinese name is utf-8") << QStringLiteral("AT+DEVICENAME=") + Name + "\r\n"
                                           << QByteArray("AT+DEVICENAME=") + NameUtf8 + "\r\n";
    QTest::newRow("outside the basic plane") << ExtensionB << ExtensionBUtf8;
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestLineCodec::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(LineCodec().encode(text), bytes);
}

void TestLineCodec::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii probe reply") << QByteArray("AT\r\nOK\r\n") << "AT\r\nOK\r\n";
    QTest::newRow("utf-8 chinese name") << nameReply(NameUtf8) << NameReplyText;
    QTest::newRow("gb18030 chinese name") << nameReply(NameGb18030) << NameReplyText;
    QTest::newRow("gb18030 name alone") << NameGb18030 << Name;
    QTest::newRow("utf-8 four bytes") << ExtensionBUtf8 << ExtensionB;
    QTest::newRow("gb18030 four bytes") << ExtensionBGb18030 << ExtensionB;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("byte ff") << hex("41ff42") << "A" + Replacement + "B";
    QTest::newRow("lone byte 80") << hex("418042") << "A" + Replacement + "B";
    QTest::newRow("lead byte before a line break")
        << hex("b20d0a") << Replacement + QStringLiteral("\r\n");
    QTest::newRow("U+FEFF inside a read")
        << hex("41efbbbf42") << withByteOrderMark(QStringLiteral("A"), QStringLiteral("B"));
    QTest::newRow("U+FEFF at the start of a read")
        << hex("efbbbf4154") << withByteOrderMark(QString(), QStringLiteral("AT"));
    QTest::newRow("gb18030 U+FEFF at the start of a read")
        << hex("8431953341") << withByteOrderMark(QString(), QStringLiteral("A"));
}

void TestLineCodec::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(LineCodec().decode(bytes), text);
}

void TestLineCodec::decodeSplitAnywhere_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("utf-8 name reply") << nameReply(NameUtf8) << NameReplyText;
    QTest::newRow("gb18030 name reply") << nameReply(NameGb18030) << NameReplyText;
    QTest::newRow("utf-8 four bytes")
        << nameReply(ExtensionBUtf8) << "AT+DEVICENAME?\r\n" + ExtensionB + "\r\nOK\r\n";
    QTest::newRow("gb18030 four bytes")
        << nameReply(ExtensionBGb18030) << "AT+DEVICENAME?\r\n" + ExtensionB + "\r\nOK\r\n";
    QTest::newRow("utf-8 with U+FEFF")
        << hex("41efbbbf42") << withByteOrderMark(QStringLiteral("A"), QStringLiteral("B"));
}

// However a reply is cut into reads, the text that comes out is the same.
void TestLineCodec::decodeSplitAnywhere() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    for (qsizetype split = 0; split <= bytes.size(); ++split) {
        LineCodec codec;
        const QString first = codec.decode(bytes.first(split));
        const QString joined = first + codec.decode(bytes.sliced(split));
        QVERIFY2(
            joined == text,
            qPrintable(QStringLiteral("split after %1 bytes gave \"%2\"").arg(split).arg(joined)));
    }
}

void TestLineCodec::decodeByteByByte_data() {
    decodeSplitAnywhere_data();
}

void TestLineCodec::decodeByteByByte() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    LineCodec codec;
    QString joined;
    for (const char byte : bytes)
        joined += codec.decode(QByteArray(1, byte));
    QCOMPARE(joined, text);
}

void TestLineCodec::decodeReads_data() {
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("unfinished utf-8 then a line break")
        << QByteArrayList{hex("41e6"), "\r\n"}
        << QStringList{"A", Replacement + QStringLiteral("\r\n")};
    QTest::newRow("unfinished gb18030 then a line break")
        << QByteArrayList{hex("41b2"), "\r\n"}
        << QStringList{"A", Replacement + QStringLiteral("\r\n")};
    QTest::newRow("U+FEFF at the start of a later read")
        << QByteArrayList{"A", hex("efbbbf42")}
        << QStringList{"A", withByteOrderMark(QString(), QStringLiteral("B"))};
    QTest::newRow("U+FEFF split over two reads")
        << QByteArrayList{hex("41efbb"), hex("bf42")}
        << QStringList{"A", withByteOrderMark(QString(), QStringLiteral("B"))};
    QTest::newRow("gb18030 read after a utf-8 read")
        << QByteArrayList{nameReply(NameUtf8), nameReply(NameGb18030)}
        << QStringList{NameReplyText, NameReplyText};
}

void TestLineCodec::decodeReads() {
    QFETCH(QByteArrayList, reads);
    QFETCH(QStringList, texts);

    LineCodec codec;
    QStringList decoded;
    for (const QByteArray &read : reads)
        decoded << codec.decode(read);
    QCOMPARE(decoded, texts);
}

void TestLineCodec::heldBackPartialIsFinished_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<QString>("headText");
    QTest::addColumn<QString>("restText");

    const QString at = QStringLiteral("AT");
    QTest::newRow("utf-8 one of three")
        << "AT" + NameUtf8.first(4) << NameUtf8.sliced(4) << at + Name.first(1) << Name.sliced(1);
    QTest::newRow("utf-8 two of three")
        << "AT" + NameUtf8.first(8) << NameUtf8.sliced(8) << at + Name.first(2) << Name.sliced(2);
    QTest::newRow("utf-8 three of four")
        << "AT" + ExtensionBUtf8.first(3) << ExtensionBUtf8.sliced(3) << at << ExtensionB;
    QTest::newRow("gb18030 one of two") << "AT" + NameGb18030.first(3) << NameGb18030.sliced(3)
                                        << at + Name.first(1) << Name.sliced(1);
    QTest::newRow("gb18030 three of four")
        << "AT" + ExtensionBGb18030.first(3) << ExtensionBGb18030.sliced(3) << at << ExtensionB;
}

// Only the unfinished character waits; everything complete before it comes out at once.
void TestLineCodec::heldBackPartialIsFinished() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, rest);
    QFETCH(QString, headText);
    QFETCH(QString, restText);

    LineCodec codec;
    QCOMPARE(codec.decode(head), headText);
    QCOMPARE(codec.decode(rest), restText);
}

void TestLineCodec::resetDropsHeldBackPartial_data() {
    heldBackPartialIsFinished_data();
}

void TestLineCodec::resetDropsHeldBackPartial() {
    QFETCH(QByteArray, head);
    QFETCH(QString, headText);

    LineCodec codec;
    QCOMPARE(codec.decode(head), headText);
    codec.reset();
    QCOMPARE(codec.decode("OK\r\n"), QStringLiteral("OK\r\n"));
}

void TestLineCodec::heldBackTailIsBounded_data() {
    QTest::addColumn<QByteArray>("read");

    QTest::newRow("utf-8 three-byte lead") << hex("e6");
    QTest::newRow("utf-8 four-byte lead") << hex("f0");
    QTest::newRow("utf-8 three of four") << hex("f09f98");
    QTest::newRow("gb18030 lead") << hex("81");
    QTest::newRow("gb18030 three of four") << hex("813081");
}

// Reads that each end in an unfinished character must not pile up: at most three bytes may
// wait, and each of them can come out as one character at most.
void TestLineCodec::heldBackTailIsBounded() {
    QFETCH(QByteArray, read);

    LineCodec codec;
    for (int i = 0; i < 64; ++i)
        codec.decode(read);
    const QString last = codec.decode("\r\n");
    QVERIFY2(last.endsWith(QStringLiteral("\r\n")), qPrintable(last));
    QVERIFY2(last.size() <= 3 + 2, qPrintable(last));
}

QTEST_APPLESS_MAIN(TestLineCodec)
#include "tst_linecodec.moc"
