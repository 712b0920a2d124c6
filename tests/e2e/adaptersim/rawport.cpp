// SPDX-License-Identifier: GPL-3.0-or-later
#include "rawport.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace pairwick::adaptersim::test {

namespace {

// A reply is written in one piece, so a short silence marks its end.
constexpr std::chrono::milliseconds quietEnd(60);

}  // namespace

RawPort::~RawPort() {
    close();
}

bool RawPort::open(const QString &path) {
    close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        return false;
    }
    termios settings{};
    if (tcgetattr(m_fd, &settings) != 0) {
        close();
        return false;
    }
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    if (tcsetattr(m_fd, TCSANOW, &settings) != 0) {
        close();
        return false;
    }
    m_endOfInput = false;
    return true;
}

void RawPort::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool RawPort::write(const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += count;
    }
    return true;
}

QByteArray RawPort::readReply(std::chrono::milliseconds firstByteWait) {
    QByteArray received;
    if (readSome(received, firstByteWait)) {
        while (readSome(received, quietEnd)) {
        }
    }
    return received;
}

QByteArray RawPort::exchange(const QByteArray &command) {
    if (!write(command + "\r\n")) {
        return {};
    }
    return readReply();
}

bool RawPort::hungUp(std::chrono::milliseconds limit) {
    readUntil([](const QByteArray &) { return false; }, limit);
    return m_endOfInput;
}

bool RawPort::readSome(QByteArray &received, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    for (;;) {
        // The simulator's log pipe is drained meanwhile, so its output can never block it.
        QCoreApplication::processEvents();
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{m_fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, int(std::clamp<qint64>(left.count(), 0, 10)));
        if (ready > 0 && (entry.revents & POLLIN)) {
            char buffer[65536];
            const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
            if (count > 0) {
                received.append(buffer, count);
                return true;
            }
            if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                m_endOfInput = true;
                return false;
            }
        } else if (ready > 0) {
            m_endOfInput = true;
            return false;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
    }
}

}  // namespace pairwick::adaptersim::test
