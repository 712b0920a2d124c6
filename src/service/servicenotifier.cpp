// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/servicenotifier.h"

#include <systemd/sd-daemon.h>
#include <chrono>

namespace pairwick::service {

ServiceNotifier::ServiceNotifier(QObject *parent) : QObject(parent) {
    uint64_t intervalUs = 0;
    if (sd_watchdog_enabled(0, &intervalUs) <= 0 || intervalUs == 0)
        return;
    // Twice within each interval, as sd_watchdog_enabled(3) advises, so one late tick is no
    // restart.
    m_watchdog.setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::microseconds(intervalUs / 2)));
    m_watchdog.setTimerType(Qt::PreciseTimer);
    connect(&m_watchdog, &QTimer::timeout, this, [this] { send("WATCHDOG=1"); });
    m_watchdog.start();
}

void ServiceNotifier::ready() {
    send("READY=1");
}

void ServiceNotifier::status(const QString &text) {
    if (text == m_status)
        return;
    m_status = text;
    // One line: systemctl status shows STATUS= as it is.
    send("STATUS=" + QString(text).replace(u'\n', u' ').toUtf8());
}

void ServiceNotifier::stopping() {
    if (m_stopping)
        return;
    m_stopping = true;
    m_watchdog.stop();
    send("STOPPING=1");
}

void ServiceNotifier::send(const QByteArray &state) {
    sd_notify(0, state.constData());
}

}  // namespace pairwick::service
