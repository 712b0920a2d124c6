// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/logline.h"

#include <QDateTime>

namespace pairwick::link {

QByteArray escapedBytes(QByteArrayView bytes) {
    QByteArray text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        switch (byte) {
            case '\r':
                text += "\\r";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                if (byte >= 0x20 && byte < 0x7f)
                    text += byte;
                else
                    text += "\\x" + QByteArray::number(static_cast<unsigned char>(byte), 16)
                                        .rightJustified(2, '0')
                                        .toUpper();
        }
    }
    return text;
}

QByteArray stampedLine(QStringView timeForm, QByteArrayView text) {
    return QDateTime::currentDateTime().toString(timeForm).toUtf8().append(' ').append(text).append(
        '\n');
}

}  // namespace pairwick::link
