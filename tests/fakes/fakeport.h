// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <functional>

#include "link/serialport.h"

namespace pairwick::fakes {

// An in-memory port. A scripted adapter answers each written line; a reply can be held back in
// part until after the next read, and any call can be made to fail the way a vanished device
// fails: the port closes itself, reports deviceLost once, and the call throws.
class FakePort : public link::SerialPort {
    Q_OBJECT

public:
    // Gets the line as written, without CR LF; returns the reply text.
    using Adapter = std::function<QString(const QString &line)>;

    void setAdapter(Adapter adapter) { m_adapter = std::move(adapter); }

    void open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void write(const QString &text) override;
    QString readAll() override;
    void discardInput() override;
    QString devicePath(int portNumber) const override;

    // Input that arrives without a command, such as leftovers of an earlier reply.
    void receive(const QString &text) { m_input += text; }
    // The last `characters` of the next reply arrive only after the read that follows it.
    void holdBackNextReply(qsizetype characters) { m_holdBack = characters; }
    void failOpen(const QString &description) { m_openFault = description; }
    // The device leaves now, as when it is unplugged between two calls.
    void vanish(const QString &description = QStringLiteral("Input/output error"));
    // The next write (counted from 1 over the port's life) fails as a vanished device does.
    void vanishOnWrite(int writeNumber) { m_vanishOnWrite = writeNumber; }

    const QStringList &written() const { return m_written; }
    // Every write ("write <line>") and read ("read") in order, to see that they alternate.
    const QStringList &calls() const { return m_calls; }
    QStringList writtenLines() const;
    int openedPortNumber() const { return m_openedPort; }
    int openCount() const { return m_openCount; }
    int discardCount() const { return m_discards; }

private:
    [[noreturn]] void throwFault() const;

    Adapter m_adapter;
    bool m_open = false;
    QString m_input;
    QString m_late;
    qsizetype m_holdBack = 0;
    QString m_openFault;
    QString m_lastFault;
    int m_vanishOnWrite = 0;
    QStringList m_written;
    QStringList m_calls;
    int m_openedPort = 0;
    int m_openCount = 0;
    int m_discards = 0;
};

}  // namespace pairwick::fakes
