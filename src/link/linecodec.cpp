// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/linecodec.h"

#include <QStringDecoder>

namespace pairwick::link {

namespace {

// Length of an incomplete UTF-8 sequence at the end of the bytes, or 0.
qsizetype incompleteUtf8Tail(const QByteArray &bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80)
            continue;
        qsizetype needed = 1;
        if ((byte & 0xE0) == 0xC0)
            needed = 2;
        else if ((byte & 0xF0) == 0xE0)
            needed = 3;
        else if ((byte & 0xF8) == 0xF0)
            needed = 4;
        return needed > back ? back : 0;
    }
    return 0;
}

// Length of an incomplete GB18030 sequence at the end of the bytes, or 0. Sequences are one
// byte below 0x80, two bytes after a lead byte 0x81-0xFE, four when the second byte is a digit.
qsizetype incompleteGb18030Tail(const QByteArray &bytes) {
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    while (at < size) {
        const auto lead = static_cast<unsigned char>(bytes.at(at));
        if (lead < 0x81 || lead == 0xFF) {
            ++at;
            continue;
        }
        if (at + 1 >= size)
            return size - at;
        const auto second = static_cast<unsigned char>(bytes.at(at + 1));
        const qsizetype length = (second >= 0x30 && second <= 0x39) ? 4 : 2;
        if (at + length > size)
            return size - at;
        at += length;
    }
    return 0;
}

}  // namespace

QByteArray LineCodec::encode(const QString &text) const {
    return text.toUtf8();
}

QString LineCodec::decode(const QByteArray &bytes) {
    QByteArray data = m_heldBack + bytes;
    m_heldBack.clear();

    const qsizetype utf8Tail = incompleteUtf8Tail(data);
    // A byte-order mark is data here like any other character: the reply's positions count it.
    const auto flags = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    const QString asUtf8 = utf8(QByteArrayView(data).first(data.size() - utf8Tail));
    if (!utf8.hasError()) {
        m_heldBack = data.right(utf8Tail);
        return asUtf8;
    }

    const qsizetype gbTail = incompleteGb18030Tail(data);
    m_heldBack = data.right(gbTail);
    QStringDecoder gb18030("GB18030", flags);
    return gb18030(QByteArrayView(data).first(data.size() - gbTail));
}

void LineCodec::reset() {
    m_heldBack.clear();
}

}  // namespace pairwick::link
