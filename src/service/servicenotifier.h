// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace pairwick::service {

// Tells systemd what a station run as a Type=notify service is doing: ready, its status line,
// that it is alive, and that it is stopping. Where NOTIFY_SOCKET is unset every call does nothing.
class ServiceNotifier : public QObject {
    Q_OBJECT

public:
    explicit ServiceNotifier(QObject *parent = nullptr);

    void ready();
    // Sent only when it differs from the last one.
    void status(const QString &text);
    void stopping();

private:
    void send(const QByteArray &state);

    // Fired by the event loop itself: a station whose loop hangs stops sending, and systemd's
    // watchdog restarts it.
    QTimer m_watchdog;
    QString m_status;
    bool m_stopping = false;
};

}  // namespace pairwick::service
