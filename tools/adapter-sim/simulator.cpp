// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

#include "link/logline.h"

#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

namespace pairwick::adaptersim {

namespace {

using namespace std::chrono_literals;

constexpr auto lateTailDelay = 1500ms;
constexpr qsizetype lateTailLength = 4;
constexpr auto floodStartDelay = 500ms;
// Replies waiting to go out are capped: a tool that writes but never reads must not make the
// simulator grow without bound.
constexpr qsizetype outputLimit = 1 << 20;

}  // namespace

Simulator::Simulator(AdapterSetup setup, Responder responder, ActivityLog log, QObject *parent)
    : QObject(parent),
      m_setup(std::move(setup)),
      m_responder(std::move(responder)),
      m_log(std::move(log)),
      m_writer(m_setup.lineRate) {
    connect(&m_writer, &LineWriter::floodDone, this,
            [this] { m_log.note(QStringLiteral("flood done")); });
    connect(&m_writer, &LineWriter::failed, this,
            [this](const QString &reason) { finish(1, reason); });
    m_return.setSingleShot(true);
    connect(&m_return, &QTimer::timeout, this, &Simulator::reappear);
    if (!m_setup.deviceLinks.isEmpty()) {
        m_deviceLink.emplace(m_setup.deviceLinks, m_setup.linkName);
    }
}

Simulator::~Simulator() {
    detach();
}

bool Simulator::open(QString *error) {
    return attach(error);
}

bool Simulator::openEmpty(QString *error) {
    m_link.emplace();
    if (!m_link->create(m_setup.portsFolder, m_setup.linkName, nowhere(), error)) {
        m_link.reset();
        return false;
    }
    return true;
}

void Simulator::start() {
    if (m_readable != nullptr) {
        m_readable->setEnabled(true);
    }
}

QString Simulator::endpoints() const {
    return QStringLiteral("%1 -> %2")
        .arg(m_link->path(), m_terminal ? m_terminal->devicePath() : nowhere());
}

bool Simulator::takeOut() {
    m_return.stop();
    m_muted = false;
    // A vanished adapter has left the link pointing at nothing already.
    return !m_terminal || unplug();
}

bool Simulator::putIn(Responder responder) {
    m_responder = std::move(responder);
    return reattach();
}

void Simulator::setMuted(bool muted) {
    m_muted = muted;
    // What came in while muted is lost, the start of a line before it too.
    m_splitter = LineSplitter();
}

bool Simulator::attach(QString *error) {
    m_terminal.emplace();
    const bool returning = m_link.has_value();
    if (!returning) {
        m_link.emplace();
    }
    if (!m_terminal->open(error) || !linkTerminal(returning, error)) {
        detach();
        return false;
    }
    ++m_presence;
    m_readable = new QSocketNotifier(m_terminal->masterFd(), QSocketNotifier::Read, this);
    m_readable->setEnabled(false);
    connect(m_readable, &QSocketNotifier::activated, this, &Simulator::readInput);
    m_writer.attach(m_terminal->masterFd());
    return true;
}

// A port map's link to udev's by-path link stays as it is when the adapter comes back: udev
// makes the by-path link again.
bool Simulator::linkTerminal(bool returning, QString *error) {
    if (!m_deviceLink) {
        return returning ? m_link->retarget(m_terminal->devicePath(), error)
                         : m_link->create(m_setup.portsFolder, m_setup.linkName,
                                          m_terminal->devicePath(), error);
    }
    return m_deviceLink->plugIn(m_terminal->devicePath(), error) &&
           (returning ||
            m_link->create(m_setup.portsFolder, m_setup.linkName, m_deviceLink->path(), error));
}

void Simulator::detach() {
    // The links go first, so the tool never finds them pointing at a closed terminal.
    m_link.reset();
    if (m_deviceLink) {
        m_deviceLink->unplug();
    }
    closeTerminal();
}

void Simulator::closeTerminal() {
    if (m_readable != nullptr) {
        // This may run inside the notifier's own signal, so it is only switched off here.
        m_readable->setEnabled(false);
        m_readable->deleteLater();
        m_readable = nullptr;
    }
    m_writer.attach(-1);
    m_terminal.reset();
    // A line half sent to the old terminal is no line for the next one.
    m_splitter = LineSplitter();
}

void Simulator::readInput() {
    char buffer[4096];
    while (m_terminal && !m_finished) {
        const ssize_t count = ::read(m_terminal->masterFd(), buffer, sizeof buffer);
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
        if (m_muted) {
            continue;
        }
        const LineSplitter::Lines lines = m_splitter.feed(QByteArrayView(buffer, count));
        for (int i = 0; i < lines.dropped; ++i) {
            m_log.note(QStringLiteral("dropped a line longer than %1 bytes")
                           .arg(LineSplitter::maxLineLength));
        }
        // Lines after one that made the adapter vanish went with its terminal.
        for (qsizetype i = 0; i < lines.complete.size() && m_terminal && !m_finished; ++i) {
            handleLine(lines.complete[i]);
        }
    }
}

void Simulator::handleLine(const QByteArray &line) {
    m_log.received(line);
    if (m_setup.floodBytes > 0 && !m_floodScheduled) {
        m_floodScheduled = true;
        QTimer::singleShot(floodStartDelay, this, &Simulator::startFlood);
    }
    const Response response = m_responder.respond(line);
    if (response.chaos) {
        m_log.chaos(*response.chaos, line);
    }
    for (const Field field : response.changed) {
        m_log.stateChanged(field, m_responder.state().value(field));
    }
    switch (response.kind) {
        case Response::Kind::Vanish:
            finish(0, QStringLiteral("vanishing on %1")
                          .arg(QString::fromLatin1(link::escapedBytes(line))));
            return;
        case Response::Kind::VanishAndReturn:
            disappear(response.absence);
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
    const auto delay = m_setup.replyDelay + arrivalTime(line.size() + 2);
    schedule(head, delay);
    schedule(tail, delay + lateTailDelay);
}

// On a real line a command takes its own byte time to come in, and the adapter answers only
// after its last byte; a pseudo-terminal hands the whole line over at once.
std::chrono::milliseconds Simulator::arrivalTime(qsizetype bytes) const {
    if (m_setup.lineRate <= 0) {
        return std::chrono::milliseconds(0);
    }
    const qint64 bits = qint64(bytes) * 10;
    return std::chrono::milliseconds((bits * 1000 + m_setup.lineRate / 2) / m_setup.lineRate);
}

QString Simulator::nowhere() const {
    return m_deviceLink
               ? m_deviceLink->path()
               : QStringLiteral("/nonexistent/pairwick-adapter-sim/%1").arg(m_setup.linkName);
}

bool Simulator::unplug() {
    // An unplugged adapter leaves the user's link behind, pointing at nothing: the tool must find
    // no device under COMn while it is away, not the one the port map names when there is no
    // link at all. The link is re-pointed before the terminal closes; with udev's links, the
    // by-path link it points at goes instead.
    QString error;
    if (m_deviceLink) {
        m_deviceLink->unplug();
    } else if (!m_link->retarget(nowhere(), &error)) {
        finish(1, error);
        return false;
    }
    closeTerminal();
    return true;
}

bool Simulator::reattach() {
    QString error;
    if (!attach(&error)) {
        finish(1, error);
        return false;
    }
    start();
    return true;
}

void Simulator::disappear(std::chrono::milliseconds absence) {
    if (unplug()) {
        m_return.start(absence);
    }
}

void Simulator::reappear() {
    if (reattach()) {
        m_log.note(QStringLiteral("returned %1").arg(endpoints()));
    }
}

void Simulator::schedule(const QByteArray &bytes, std::chrono::milliseconds delay) {
    if (bytes.isEmpty()) {
        return;
    }
    if (m_scheduledBytes + m_writer.pending() + bytes.size() > outputLimit) {
        m_log.note(QStringLiteral("nobody reads the terminal; a reply of %1 bytes is dropped")
                       .arg(bytes.size()));
        return;
    }
    m_scheduledBytes += bytes.size();
    // Precise timers keep replies in the order of their lines.
    QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, bytes, presence = m_presence] {
        m_scheduledBytes -= bytes.size();
        send(bytes, presence);
    });
}

void Simulator::send(const QByteArray &bytes, quint64 presence) {
    if (m_finished || !m_terminal || presence != m_presence || m_muted) {
        return;
    }
    m_log.sent(bytes);
    m_writer.write(bytes);
}

void Simulator::startFlood() {
    m_log.note(QStringLiteral("flooding %1 bytes of noise").arg(m_setup.floodBytes));
    m_writer.flood(m_setup.floodBytes);
}

void Simulator::finish(int exitCode, const QString &reason) {
    m_finished = true;
    if (m_readable != nullptr) {
        m_readable->setEnabled(false);
    }
    m_writer.attach(-1);
    m_log.note(reason);
    emit finished(exitCode);
}

}  // namespace pairwick::adaptersim
