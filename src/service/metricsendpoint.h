// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTcpServer>
#include <functional>

#include "service/listenaddress.h"

class QTcpSocket;

namespace pairwick::service {

// GET /metrics over HTTP/1.x on the thread that owns it, one request a connection. It never
// waits for a client: sockets are read as bytes come, a head is at most 8 KiB, a connection
// lives at most a few seconds, and few are open at once; a client beyond that is closed at
// once. So a slow or hostile client costs a scraper its answer, never a slot its time.
class MetricsEndpoint : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxConnections = 16;
    static constexpr int ConnectionMs = 5000;

    using Render = std::function<QByteArray()>;
    explicit MetricsEndpoint(Render render, QObject *parent = nullptr);

    // false and *error when the address cannot be bound.
    bool listen(const ListenAddress &address, QString *error);

private:
    void accept();
    void read(QTcpSocket *socket);
    void respond(QTcpSocket *socket, int status, const QByteArray &extraHeaders,
                 const QByteArray &body);

    Render m_render;
    // Counts down as each socket goes, so it outlives the server, which owns the sockets.
    int m_open = 0;
    QTcpServer m_server;
};

}  // namespace pairwick::service
