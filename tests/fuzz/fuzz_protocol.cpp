// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary port bytes through the read path: decoding over two reads, every reply cut,
// every token table, and the argument forming that goes the other way.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "link/linecodec.h"
#include "protocol/commands.h"
#include "protocol/replycuts.h"
#include "protocol/tokens.h"

using namespace pairwick::protocol;
using pairwick::link::LineCodec;

namespace {

void require(bool holds, const char *what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool isValidUtf8(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = utf8(bytes);
    return !utf8.hasError();
}

// Valid UTF-8 must come out the same however it is cut into reads, U+FEFF included.
QString decodeWhole(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes);
}

void checkDecoding(const QByteArray &bytes, const QString &text, LineCodec &codec) {
    require(text.size() <= bytes.size(), "decoding made more characters than bytes");
    require(QStringView(text).isValidUtf16(), "decoding made broken UTF-16");
    if (isValidUtf8(bytes))
        require(text == decodeWhole(bytes), "valid UTF-8 decoded differently across two reads");

    // At most three bytes can still be waiting, and a line end that follows them survives.
    LineCodec flushed = codec;
    const QString last = flushed.decode(QByteArrayLiteral("\r\n"));
    require(last.endsWith(QStringLiteral("\r\n")), "a line end after a read was lost");
    require(last.size() <= 3 + 2, "more than three bytes were held back");

    codec.reset();
    require(codec.decode(QByteArrayLiteral("OK\r\n")) == QStringLiteral("OK\r\n"),
            "reset left a partial character behind");
}

void checkTokens(const QString &value) {
    for (const QStringList *table :
         {&baudRateEntries(), &parityEntries(), &parityLetters(), &stopBitEntries()}) {
        const qsizetype position = findToken(*table, value);
        require(position >= -1 && position < table->size(), "token position out of range");
        require(position >= 0 ? table->at(position) == value : !table->contains(value),
                "token found where it is not, or missed where it is");
    }

    const std::optional<Role> role = roleFromToken(value);
    require(role.has_value() == (value == u"0" || value == u"1"), "role accepted a wrong token");
    if (role)
        require((*role == Role::Master) == (value == u"1"), "role token mapped wrongly");

    const std::optional<bool> enabled = messagesEnabledFromToken(value);
    require(enabled.has_value() == (value == u"EN" || value == u"DI"),
            "message state accepted a wrong token");
    if (enabled)
        require(*enabled == (value == u"EN"), "message state mapped wrongly");
}

// A cut value is what is left between the layout's fixed head and fixed tail.
void checkTextCut(const QString &reply, TextCut cut) {
    const std::optional<QString> value = cutText(reply, cut);
    require(value.has_value() == (reply.size() >= cut.fixedLength),
            "cut refused a long enough reply or accepted a short one");
    if (!value)
        return;
    const qsizetype headLength = cut.firstPosition - 1;
    const qsizetype tailLength = cut.fixedLength - headLength;
    require(value->size() == reply.size() - cut.fixedLength, "cut value has the wrong length");
    require(reply.first(headLength) + *value + reply.last(tailLength) == reply,
            "cut value is not the middle of the reply");
    checkTokens(*value);
}

void checkUartCut(const QString &reply) {
    const UartPieces pieces = cutUart(reply);
    require(pieces.baudRate.has_value() == (reply.size() >= BaudRateCut.fixedLength),
            "baud rate cut disagrees with the text cut");
    if (pieces.baudRate)
        require(*pieces.baudRate == cutText(reply, BaudRateCut), "baud rate cut differs");
    const bool hasTail = reply.size() >= 9;
    require(pieces.parity == (hasTail ? reply.sliced(reply.size() - 9, 1) : QString()),
            "parity is not the first of the last nine characters");
    require(pieces.stopBits == (hasTail ? reply.sliced(reply.size() - 7, 1) : QString()),
            "stop bits are not the third of the last nine characters");
    checkTokens(pieces.parity);
    checkTokens(pieces.stopBits);
}

void checkFixedCuts(const QString &reply) {
    const QString role = cutRole(reply);
    require(role == (reply.size() >= 11 ? reply.sliced(10, 1) : QString()),
            "role is not character 11");
    checkTokens(role);

    const QString state = cutMessageState(reply);
    require(state == reply.mid(23, 2), "message state is not characters 24 and 25");
    require(state.size() == std::clamp<qsizetype>(reply.size() - 23, 0, 2),
            "message state has the wrong length");
    checkTokens(state);
}

void checkCuts(const QString &reply) {
    for (TextCut cut : {DeviceNameCut, VersionCut, BaudRateCut, PinCut, AddressCut, BindAddressCut})
        checkTextCut(reply, cut);
    checkUartCut(reply);
    checkFixedCuts(reply);
    checkTokens(reply);
}

void checkArguments(const QString &fieldText, bool flag) {
    const QString argument = textArgument(fieldText);
    require(!argument.contains(u'\r') && !argument.contains(u'\n'), "line break in argument");
    require(argument.size() <= fieldText.size(), "argument grew");
    // Spaces can only survive at the ends when a line break shielded them.
    const bool hadLineBreak = fieldText.contains(u'\r') || fieldText.contains(u'\n');
    if (!hadLineBreak) {
        require(!argument.startsWith(u' ') && !argument.endsWith(u' '),
                "argument kept an outer space");
        require(fieldText.contains(argument), "argument is not a piece of the field text");
    }

    const QString letter = parityArgument(fieldText);
    const qsizetype firstNonSpace = [&fieldText] {
        qsizetype at = 0;
        while (at < fieldText.size() && fieldText.at(at) == u' ')
            ++at;
        return at;
    }();
    require(letter == fieldText.mid(firstNonSpace, 1), "parity letter is not the first non-space");

    require(flagArgument(flag) == (flag ? u"1" : u"0"), "flag argument is not 1 or 0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1),
                           static_cast<qsizetype>(size - 1));
    const qsizetype split = bytes.size() * data[0] / 255;

    LineCodec codec;
    QString text = codec.decode(bytes.first(split));
    text += codec.decode(bytes.sliced(split));

    checkDecoding(bytes, text, codec);
    checkCuts(text);
    checkArguments(text, data[0] & 1);
    return 0;
}
