// SPDX-License-Identifier: GPL-3.0-or-later
// A printer on a device (/dev/usb/lp0): gone while unplugged, busy while another program prints.
#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "printing/printerdestination.h"

namespace pairwick::printing {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("pairwick::printing", text);
}

// Waiting cannot help a device this login may not write, or a path that names a folder.
bool isMistake(int error) {
    return error == EACCES || error == EPERM || error == EISDIR || error == EROFS;
}

QString problem(const QString &path, int error) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

QString checkDevice(const QString &path) {
    // Not creating it: a printer not plugged in has no device yet, and a file made in its place
    // would swallow every label.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
        return QString();
    }
    return isMistake(error) ? tr("打印机 %1").arg(problem(path, error)) : QString();
}

SendOutcome sendToDevice(const PrinterDestination &destination, const PrintJob &job) {
    const QByteArray path = QFile::encodeName(destination.target);
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const QString reason = problem(destination.target, error);
        return isMistake(error) ? SendOutcome::misconfigured(reason) : SendOutcome::away(reason);
    }
    if (const auto stopped = job.handOver()) {
        ::close(fd);
        return *stopped;
    }
    bool written = true;
    int error = 0;
    for (int copy = 0; written && copy < job.copies; ++copy) {
        for (qsizetype done = 0; written && done < job.document.size();) {
            const ssize_t count =
                ::write(fd, job.document.constData() + done, size_t(job.document.size() - done));
            written = count > 0 || (count < 0 && errno == EINTR);
            error = errno;
            done += count > 0 ? count : 0;
        }
    }
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written)
        return SendOutcome::sent();
    return SendOutcome::away(
        tr("%1 在标签发送途中出错：%2").arg(destination.text, problem(destination.target, error)));
}

}  // namespace pairwick::printing
