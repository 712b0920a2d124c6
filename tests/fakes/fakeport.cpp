// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeport.h"

#include "link/porterror.h"

namespace pairwick::fakes {

void FakePort::open(int portNumber) {
    m_openedPort = portNumber;
    if (!m_openFault.isEmpty())
        throw link::PortError(m_openFault, devicePath(portNumber));
    m_open = true;
    m_lastFault.clear();
    ++m_openCount;
}

void FakePort::close() {
    m_open = false;
}

void FakePort::write(const QString &text) {
    if (!m_open)
        throwFault();
    m_written.append(text);
    m_calls.append(QStringLiteral("write ") + text.trimmed());
    if (m_vanishOnWrite == m_written.size()) {
        vanish();
        throwFault();
    }
    if (!m_adapter)
        return;
    QString line = text;
    line.chop(2);
    const QString reply = m_adapter(line);
    const qsizetype late = std::min(m_holdBack, reply.size());
    m_input += reply.left(reply.size() - late);
    m_late = reply.right(late);
    m_holdBack = 0;
}

QString FakePort::readAll() {
    if (!m_open)
        throwFault();
    m_calls.append(QStringLiteral("read"));
    QString pending = m_input;
    m_input = m_late;
    m_late.clear();
    return pending;
}

void FakePort::discardInput() {
    if (!m_open)
        throwFault();
    ++m_discards;
    m_input.clear();
}

QString FakePort::devicePath(int portNumber) const {
    return QStringLiteral("/dev/fake%1").arg(portNumber);
}

void FakePort::vanish(const QString &description) {
    if (!m_open)
        return;
    m_open = false;
    m_lastFault = description;
    emit deviceLost(link::PortError::lost(description, devicePath(m_openedPort)).message());
}

QStringList FakePort::writtenLines() const {
    QStringList lines;
    for (const QString &text : m_written)
        lines.append(text.endsWith(QStringLiteral("\r\n")) ? text.chopped(2) : text + "<no CRLF>");
    return lines;
}

void FakePort::throwFault() const {
    if (!m_lastFault.isEmpty())
        throw link::PortError::lost(m_lastFault, devicePath(m_openedPort));
    throw link::PortError(QStringLiteral("port not open"), devicePath(m_openedPort));
}

}  // namespace pairwick::fakes
