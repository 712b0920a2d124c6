// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

#include "faults.h"

#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace pairwick::adaptersim {

namespace {

using namespace std::chrono_literals;

// The real adapter takes a moment before it answers.
constexpr auto replyDelay = 20ms;
constexpr auto lateTailDelay = 1500ms;
constexpr qsizetype lateTailLength = 4;
constexpr auto floodStartDelay = 500ms;
constexpr qsizetype floodChunk = 512;
// Replies waiting to go out are capped: a tool that writes but never reads must not make the
// simulator grow without bound.
constexpr qsizetype outputLimit = 1 << 20;

}  // namespace

Simulator::Simulator(int masterFd, Responder &responder, const ActivityLog &log, qint64 floodBytes,
                     QObject *parent)
    : QObject(parent),
      m_master(masterFd),
      m_responder(responder),
      m_log(log),
      m_readable(new QSocketNotifier(masterFd, QSocketNotifier::Read, this)),
      m_writable(new QSocketNotifier(masterFd, QSocketNotifier::Write, this)),
      m_floodBytes(floodBytes) {
    m_writable->setEnabled(false);
    connect(m_readable, &QSocketNotifier::activated, this, &Simulator::readInput);
    connect(m_writable, &QSocketNotifier::activated, this, &Simulator::writePending);
}

void Simulator::readInput() {
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno == EAGAIN) {
            return;
        }
        if (count <= 0) {
            finish(1, QStringLiteral("reading the terminal failed: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        const LineSplitter::Lines lines = m_splitter.feed(QByteArrayView(buffer, count));
        for (int i = 0; i < lines.dropped; ++i) {
            m_log.note(QStringLiteral("dropped a line longer than %1 bytes")
                           .arg(LineSplitter::maxLineLength));
        }
        for (const QByteArray &line : lines.complete) {
            handleLine(line);
            if (m_finished) {
                return;
            }
        }
    }
}

void Simulator::handleLine(const QByteArray &line) {
    m_log.received(line);
    if (m_floodBytes > 0 && !m_floodScheduled) {
        m_floodScheduled = true;
        QTimer::singleShot(floodStartDelay, this, [this] {
            m_log.note(QStringLiteral("flooding %1 bytes of noise").arg(m_floodBytes));
            m_floodLeft = m_floodBytes;
            updateWriteInterest();
        });
    }
    const Response response = m_responder.respond(line);
    switch (response.kind) {
        case Response::Kind::Vanish:
            finish(0, QStringLiteral("vanishing on %1").arg(QString::fromLatin1(escaped(line))));
            return;
        case Response::Kind::Silence:
            return;
        case Response::Kind::Reply:
            break;
    }
    const qsizetype tailLength =
        response.lateTail ? std::min(lateTailLength, response.bytes.size()) : 0;
    const QByteArray head = response.bytes.chopped(tailLength);
    const QByteArray tail = response.bytes.right(tailLength);
    schedule(head, replyDelay);
    schedule(tail, replyDelay + lateTailDelay);
}

void Simulator::schedule(const QByteArray &bytes, std::chrono::milliseconds delay) {
    if (bytes.isEmpty()) {
        return;
    }
    if (m_scheduledBytes + m_output.size() + bytes.size() > outputLimit) {
        m_log.note(QStringLiteral("nobody reads the terminal; a reply of %1 bytes is dropped")
                       .arg(bytes.size()));
        return;
    }
    m_scheduledBytes += bytes.size();
    // Precise timers keep replies in the order of their lines.
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, bytes] {
        m_scheduledBytes -= bytes.size();
        send(bytes);
    });
}

void Simulator::send(const QByteArray &bytes) {
    if (m_finished) {
        return;
    }
    m_log.sent(bytes);
    m_output += bytes;
    writePending();
}

void Simulator::writePending() {
    // Noise is made only while no reply waits, so replies never queue behind a flood.
    if (m_output.isEmpty() && m_floodLeft > 0) {
        const qsizetype chunk = qsizetype(std::min<qint64>(floodChunk, m_floodLeft));
        m_output = noise(chunk);
        m_floodLeft -= chunk;
        if (m_floodLeft == 0) {
            m_log.note(QStringLiteral("flood done"));
        }
    }
    while (!m_output.isEmpty()) {
        const ssize_t count = ::write(m_master, m_output.constData(), size_t(m_output.size()));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 && errno == EAGAIN) {
            break;
        }
        if (count < 0) {
            finish(1, QStringLiteral("writing the terminal failed: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
        m_output.remove(0, count);
    }
    updateWriteInterest();
}

void Simulator::updateWriteInterest() {
    m_writable->setEnabled(!m_finished && (!m_output.isEmpty() || m_floodLeft > 0));
}

void Simulator::finish(int exitCode, const QString &reason) {
    m_finished = true;
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    m_log.note(reason);
    emit finished(exitCode);
}

}  // namespace pairwick::adaptersim
