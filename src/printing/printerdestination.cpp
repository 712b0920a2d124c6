// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/printerdestination.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace pairwick::printing {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("pairwick::printing", text);
}

}  // namespace

std::variant<PrinterDestination, QString> PrinterDestination::parse(const QString &text) {
    PrinterDestination destination;
    destination.text = text;
    if (text.startsWith(u'/')) {
        destination.kind = Kind::Device;
        destination.target = text;
        return destination;
    }
    const QString scheme = text.section(u':', 0, 0);
    const QString rest = text.section(u':', 1);
    if (scheme == u"tcp") {
        destination.kind = Kind::Tcp;
        // The port is after the last colon, so that an IPv6 address in brackets keeps its own.
        destination.target = rest.section(u':', 0, -2);
        if (destination.target.startsWith(u'[') && destination.target.endsWith(u']'))
            destination.target = destination.target.mid(1, destination.target.size() - 2);
        bool numbered = false;
        const uint port = rest.section(u':', -1).toUInt(&numbered);
        if (destination.target.isEmpty() || !numbered || port == 0 || port > 65535)
            return tr("打印机 %1：tcp: 须写成 tcp:主机:端口（如 tcp:192.0.2.7:9100）").arg(text);
        destination.port = quint16(port);
        return destination;
    }
    if (scheme == u"cups" || scheme == u"dir") {
        destination.kind = scheme == u"cups" ? Kind::Cups : Kind::Folder;
        destination.target = rest;
        if (rest.isEmpty())
            return tr("打印机 %1：%2: 后须有名字").arg(text, scheme);
        // A queue's name is one word that lp takes as it is.
        if (destination.kind == Kind::Cups && (rest.contains(u'/') || rest.contains(u'#') ||
                                               rest.contains(u' ') || rest.startsWith(u'-')))
            return tr("打印机 %1：CUPS 队列名不能含有空格、/ 或 #，也不能以 - 开头").arg(text);
        return destination;
    }
    return tr("打印机 %1 未知；可写 tcp:主机:端口、设备路径（/dev/usb/lp0）、cups:队列 或 "
              "dir:文件夹")
        .arg(text);
}

QString checkDestination(const PrinterDestination &destination) {
    switch (destination.kind) {
        case PrinterDestination::Kind::Tcp:
            return QString();
        case PrinterDestination::Kind::Device:
            return checkDevice(destination.target);
        case PrinterDestination::Kind::Cups:
            return checkCupsQueue(destination.target);
        case PrinterDestination::Kind::Folder: {
            const QFileInfo folder(destination.target);
            if (!folder.isDir())
                return tr("打印机 %1：%2 不是文件夹").arg(destination.text, destination.target);
            if (!folder.isWritable())
                return tr("打印机 %1：不能写入文件夹 %2").arg(destination.text, destination.target);
            return QString();
        }
    }
    return QString();
}

SendOutcome sendLabel(const PrinterDestination &destination, const PrintJob &job) {
    switch (destination.kind) {
        case PrinterDestination::Kind::Tcp:
            return sendOverTcp(destination, job);
        case PrinterDestination::Kind::Device:
            return sendToDevice(destination, job);
        case PrinterDestination::Kind::Cups:
            return sendToCups(destination, job);
        case PrinterDestination::Kind::Folder:
            return sendToFolder(destination, job);
    }
    return SendOutcome::misconfigured(destination.text);
}

}  // namespace pairwick::printing
