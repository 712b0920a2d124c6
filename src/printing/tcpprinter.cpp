// SPDX-License-Identifier: GPL-3.0-or-later
// A label printer's raw port (9100): the label goes out, our side is shut, and the printer, which
// has nothing to say to a label, closes its side. Anything it does say is not a label printer's.
#include <sys/socket.h>
#include <QCoreApplication>
#include <QTcpSocket>

#include "printing/printerdestination.h"

namespace pairwick::printing {

namespace {

// A printer on the line's network answers a connection at once; one that does not within this
// is away. A label's bytes and the printer's close get as long again.
constexpr int ConnectMs = 5000;
constexpr int TransferMs = 10000;

QString tr(const char *text) {
    return QCoreApplication::translate("pairwick::printing", text);
}

}  // namespace

SendOutcome sendOverTcp(const PrinterDestination &destination, const PrintJob &job) {
    QTcpSocket socket;
    socket.connectToHost(destination.target, destination.port);
    if (!socket.waitForConnected(ConnectMs))
        return SendOutcome::away(
            tr("%1 不接受连接：%2").arg(destination.text, socket.errorString()));
    if (const auto stopped = job.handOver())
        return *stopped;
    for (int copy = 0; copy < job.copies; ++copy)
        socket.write(job.document);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(TransferMs))
            return SendOutcome::away(
                tr("%1 在标签发送途中断开：%2").arg(destination.text, socket.errorString()));
    }
    // Our side done: a printer closes its own once it has the label.
    ::shutdown(int(socket.socketDescriptor()), SHUT_WR);
    // Ends at the printer's close, at a word from it, or after the wait.
    socket.waitForReadyRead(TransferMs);
    if (socket.bytesAvailable() > 0)
        return SendOutcome::away(
            tr("%1 回答了 %2 字节，标签打印机不会这样：这个端口不是标签打印机的？")
                .arg(destination.text)
                .arg(socket.bytesAvailable()));
    return SendOutcome::sent();
}

}  // namespace pairwick::printing
