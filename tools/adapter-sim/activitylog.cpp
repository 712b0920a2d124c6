// SPDX-License-Identifier: GPL-3.0-or-later
#include "activitylog.h"

#include "chaos.h"

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

ActivityLog::ActivityLog(bool quiet, const QString &port)
    : m_quiet(quiet), m_prefix(port.isEmpty() ? QByteArray() : port.toUtf8() + ' ') {}

void ActivityLog::received(QByteArrayView line) const {
    write("<- " + escaped(line));
}

void ActivityLog::sent(QByteArrayView bytes) const {
    write("-> " + escaped(bytes));
}

void ActivityLog::stateChanged(Field field, QByteArrayView value) const {
    const std::string_view key = fieldKey(field);
    write("state " + QByteArray(key.data(), qsizetype(key.size())) + '=' + escaped(value));
}

void ActivityLog::chaos(Fault fault, QByteArrayView line) const {
    const std::string_view name = chaosName(fault);
    write("chaos " + QByteArray(name.data(), qsizetype(name.size())) + " on " + escaped(line));
}

void ActivityLog::note(const QString &text) const {
    write(text.toUtf8());
}

void ActivityLog::write(QByteArrayView text) const {
    if (m_quiet) {
        return;
    }
    const QByteArray stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8();
    std::fprintf(stdout, "%s %s%.*s\n", stamp.constData(), m_prefix.constData(), int(text.size()),
                 text.data());
    std::fflush(stdout);
}

}  // namespace pairwick::adaptersim
