// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlinput.h"

#include <QSocketNotifier>

#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace pairwick::adaptersim {

ControlInput::ControlInput(QObject *parent) : QObject(parent) {
    m_readable = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_readable, &QSocketNotifier::activated, this, &ControlInput::readSome);
}

// One read a wakeup: standard input stays blocking, as whoever started the program left it,
// and the notifier comes back while more is waiting.
void ControlInput::readSome() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (count <= 0) {
        if (count < 0) {
            emit rejected(QStringLiteral("reading standard input failed: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
        }
        m_readable->setEnabled(false);
        return;
    }
    const LineSplitter::Lines lines = m_splitter.feed(QByteArrayView(buffer, count));
    for (int i = 0; i < lines.dropped; ++i) {
        emit rejected(QStringLiteral("a control line longer than %1 bytes is ignored")
                          .arg(LineSplitter::maxLineLength));
    }
    for (const QByteArray &line : lines.complete) {
        auto parsed = parseControlLine(line);
        if (const auto *reason = std::get_if<QString>(&parsed)) {
            emit rejected(*reason);
        } else {
            emit command(std::get<ControlCommand>(parsed));
        }
    }
}

}  // namespace pairwick::adaptersim
