// SPDX-License-Identifier: GPL-3.0-or-later
#include "service/metricsendpoint.h"

#include <sys/socket.h>
#include <QTcpSocket>
#include <QTimer>

#include "service/exposition.h"
#include "service/requesthead.h"

namespace pairwick::service {

namespace {

const char *const ReceivedProperty = "pairwickReceived";

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 431:
            return "Request Header Fields Too Large";
    }
    return {};
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(Render render, QObject *parent)
    : QObject(parent), m_render(std::move(render)) {
    connect(&m_server, &QTcpServer::newConnection, this, &MetricsEndpoint::accept);
}

bool MetricsEndpoint::listen(const ListenAddress &address, QString *error) {
    if (m_server.listen(address.host, address.port))
        return true;
    *error = QStringLiteral("--metrics %1: cannot listen there: %2")
                 .arg(address.text(), m_server.errorString());
    return false;
}

void MetricsEndpoint::accept() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_open >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(ConnectionMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        // Qt reads no more from the system than this until the bytes are taken.
        socket->setReadBufferSize(MaxRequestHead);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
    }
}

void MetricsEndpoint::read(QTcpSocket *socket) {
    QByteArray received = socket->property(ReceivedProperty).toByteArray();
    received += socket->read(MaxRequestHead - received.size());
    const RequestHead head = readRequestHead(received);
    switch (head.outcome) {
        case RequestHead::Outcome::Incomplete:
            socket->setProperty(ReceivedProperty, received);
            return;
        case RequestHead::Outcome::Malformed:
            return respond(socket, 400, {}, "a request is GET /metrics HTTP/1.1\n");
        case RequestHead::Outcome::TooLarge:
            return respond(socket, 431, {}, "a request's head is at most 8 KiB\n");
        case RequestHead::Outcome::Complete:
            break;
    }
    if (head.method != "GET")
        return respond(socket, 405, "Allow: GET\r\n", "only GET\n");
    if (head.path != "/metrics")
        return respond(socket, 404, {}, "the metrics are at /metrics\n");
    respond(socket, 200, QByteArray("Content-Type: ") + Exposition::ContentType + "\r\n",
            m_render());
}

void MetricsEndpoint::respond(QTcpSocket *socket, int status, const QByteArray &extraHeaders,
                              const QByteArray &body) {
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    socket->setProperty(ReceivedProperty, {});
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    if (status != 200)
        response += "Content-Type: text/plain; charset=utf-8\r\n";
    response += extraHeaders + "Content-Length: " + QByteArray::number(body.size()) +
                "\r\nConnection: close\r\n\r\n" + body;
    // A close with unread bytes would be a reset, which can cut the answer short at the client:
    // once the answer is out only the sending side closes, what still comes is dropped, and the
    // connection ends when the client closes it or at its deadline.
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
        if (socket->bytesToWrite() == 0)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    });
    socket->readAll();
    socket->write(response);
    // Out now, not at the next turn of the loop: a client that closed its sending side after
    // the request is seen as gone then, and what waits to be written is dropped with it.
    socket->flush();
}

}  // namespace pairwick::service
