// SPDX-License-Identifier: GPL-3.0-or-later
#include "linewriter.h"

#include "faults.h"

#include <QSocketNotifier>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace pairwick::adaptersim {

namespace {

// 8N1: a start bit, eight data bits and a stop bit per byte.
constexpr qint64 bitsPerByte = 10;
constexpr qint64 nsPerSecond = 1'000'000'000;
// Short enough that a reply never waits long behind the bytes due, long enough to keep the
// CPU idle; at 9600 baud a tick carries about four bytes.
constexpr qint64 tickNs = 4'000'000;
constexpr qsizetype floodChunk = 512;

}  // namespace

LineWriter::LineWriter(qint64 lineRate, QObject *parent)
    : QObject(parent), m_byteNs(lineRate > 0 ? bitsPerByte * nsPerSecond / lineRate : 0) {
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &LineWriter::pump);
    m_clock.start();
}

void LineWriter::attach(int fd) {
    if (m_writable != nullptr) {
        // This may run inside the notifier's own signal, so it is only switched off here.
        m_writable->setEnabled(false);
        m_writable->deleteLater();
        m_writable = nullptr;
    }
    m_fd = fd;
    m_output.clear();
    m_blocked = false;
    if (fd >= 0) {
        m_writable = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(m_writable, &QSocketNotifier::activated, this, &LineWriter::pump);
        resumePacing();
    }
    updateInterest();
}

void LineWriter::write(const QByteArray &bytes) {
    if (!hasWork()) {
        resumePacing();
    }
    m_output += bytes;
    pump();
}

void LineWriter::flood(qint64 count) {
    if (!hasWork()) {
        resumePacing();
    }
    m_floodLeft += count;
    pump();
}

qsizetype LineWriter::allowance() const {
    if (!paced()) {
        return std::numeric_limits<qsizetype>::max();
    }
    const qint64 now = m_clock.nsecsElapsed();
    return now < m_nextByteNs ? 0 : qsizetype((now - m_nextByteNs) / m_byteNs + 1);
}

void LineWriter::resumePacing() {
    m_nextByteNs = std::max(m_nextByteNs, m_clock.nsecsElapsed());
}

void LineWriter::pump() {
    if (m_fd < 0) {
        return;
    }
    // Tried again on every new reply too, not only when the terminal reports room: under a
    // pile of due replies the event loop may get to that report late.
    if (m_blocked) {
        m_blocked = false;
        resumePacing();
    }
    qsizetype budget = allowance();
    // Noise is made only while no reply waits, so replies never queue behind a flood.
    if (m_output.isEmpty() && m_floodLeft > 0 && budget > 0) {
        const qsizetype chunk = qsizetype(std::min<qint64>({floodChunk, m_floodLeft, budget}));
        m_output = noise(chunk);
        m_floodLeft -= chunk;
        if (m_floodLeft == 0) {
            emit floodDone();
        }
    }
    while (budget > 0 && !m_output.isEmpty()) {
        const qsizetype size = std::min(budget, m_output.size());
        const ssize_t count = ::write(m_fd, m_output.constData(), size_t(size));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno == EAGAIN) {
            m_blocked = true;
            break;
        }
        if (count < 0) {
            m_tick.stop();
            m_writable->setEnabled(false);
            emit failed(QStringLiteral("writing the terminal failed: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        m_output.remove(0, count);
        budget -= count;
        m_nextByteNs += count * m_byteNs;
    }
    updateInterest();
}

void LineWriter::updateInterest() {
    const bool working = m_fd >= 0 && hasWork();
    // Unpaced, the terminal's readiness sets the pace; paced, the clock does until the
    // terminal is full.
    if (m_writable != nullptr) {
        m_writable->setEnabled(working && (m_blocked || !paced()));
    }
    if (working && paced() && !m_blocked) {
        const qint64 wait = std::max(tickNs, m_nextByteNs - m_clock.nsecsElapsed());
        m_tick.start(int((wait + 999'999) / 1'000'000));
    } else {
        m_tick.stop();
    }
}

}  // namespace pairwick::adaptersim
