// SPDX-License-Identifier: GPL-3.0-or-later
#include "activitylog.h"

#include <QTime>

#include <cstdio>

namespace pairwick::adaptersim {

QByteArray escaped(QByteArrayView bytes) {
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
                if (byte >= 0x20 && byte < 0x7f) {
                    text += byte;
                } else {
                    text += "\\x" + QByteArray::number(static_cast<unsigned char>(byte), 16)
                                        .rightJustified(2, '0')
                                        .toUpper();
                }
        }
    }
    return text;
}

void ActivityLog::received(QByteArrayView line) const {
    write("<- " + escaped(line));
}

void ActivityLog::sent(QByteArrayView bytes) const {
    write("-> " + escaped(bytes));
}

void ActivityLog::note(const QString &text) const {
    write(text.toUtf8());
}

void ActivityLog::write(QByteArrayView text) const {
    if (m_quiet) {
        return;
    }
    const QByteArray stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8();
    std::fprintf(stdout, "%s %.*s\n", stamp.constData(), int(text.size()), text.data());
    std::fflush(stdout);
}

}  // namespace pairwick::adaptersim
