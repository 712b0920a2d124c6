// SPDX-License-Identifier: GPL-3.0-or-later
#include "activitylog.h"

#include "chaos.h"
#include "link/logline.h"

#include <cstdio>

namespace pairwick::adaptersim {

ActivityLog::ActivityLog(bool quiet, const QString &port)
    : m_quiet(quiet), m_prefix(port.isEmpty() ? QByteArray() : port.toUtf8() + ' ') {}

void ActivityLog::received(QByteArrayView line) const {
    write("<- " + link::escapedBytes(line));
}

void ActivityLog::sent(QByteArrayView bytes) const {
    write("-> " + link::escapedBytes(bytes));
}

void ActivityLog::stateChanged(Field field, QByteArrayView value) const {
    const std::string_view key = fieldKey(field);
    write("state " + QByteArray(key.data(), qsizetype(key.size())) + '=' +
          link::escapedBytes(value));
}

void ActivityLog::chaos(Fault fault, QByteArrayView line) const {
    const std::string_view name = chaosName(fault);
    write("chaos " + QByteArray(name.data(), qsizetype(name.size())) + " on " +
          link::escapedBytes(line));
}

void ActivityLog::note(const QString &text) const {
    write(text.toUtf8());
}

void ActivityLog::write(QByteArrayView text) const {
    if (m_quiet) {
        return;
    }
    const QByteArray line = link::stampedLine(u"HH:mm:ss.zzz", m_prefix + text.toByteArray());
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout);
}

}  // namespace pairwick::adaptersim
