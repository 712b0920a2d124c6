// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace pairwick::adaptersim::test {

// The tool's side of the line, opened the plain POSIX way so that the simulator is checked
// byte for byte without any of the tool's own code in between.
class RawPort {
public:
    RawPort() = default;
    ~RawPort();
    RawPort(const RawPort &) = delete;
    RawPort &operator=(const RawPort &) = delete;

    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    bool write(const QByteArray &bytes);
    // Everything that arrives until the line has been quiet for a moment, or nothing if no
    // byte comes within firstByteWait.
    QByteArray readReply(std::chrono::milliseconds firstByteWait = std::chrono::milliseconds(300));
    QByteArray exchange(const QByteArray &command);
    // Reads until done(received) holds or the time is up; returns what was received.
    template <typename Done>
    QByteArray readUntil(Done done, std::chrono::milliseconds limit);
    // True once the far end has gone: the line reports a hangup or reads end.
    bool hungUp(std::chrono::milliseconds limit);

private:
    // Waits up to the given time for input; appends it and returns whether any came.
    bool readSome(QByteArray &received, std::chrono::milliseconds wait);

    int m_fd = -1;
    bool m_endOfInput = false;
};

template <typename Done>
QByteArray RawPort::readUntil(Done done, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    QByteArray received;
    while (!done(received) && Clock::now() < deadline && !m_endOfInput) {
        readSome(received, std::chrono::milliseconds(20));
    }
    return received;
}

}  // namespace pairwick::adaptersim::test
